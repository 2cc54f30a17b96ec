#pragma once
// The main window: its controls, its state record, its handlers and its page operations.
#include <memory>
#include <optional>
#include <string>

#include "forms.h"
#include "jpeg.h"

class TMemIniFile;
class TPageWorker;

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* Owner);
    ~TfrmMain() override;

    // Controls, owned by the window.
    TScrollBox* scrMain = nullptr;
    TPaintBox* pntMain = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* File1 = nullptr;
    TMenuItem* mnuFileExit = nullptr;
    TMenuItem* mnuVisible = nullptr;
    TMenuItem* mnuVisibleNext = nullptr;
    TMenuItem* mnuVisibleBack = nullptr;
    TPanel* pnlToolBar = nullptr;
    TSpeedButton* spbClose = nullptr;
    TSpeedButton* spbOpenFolder = nullptr;
    TStatusBar* stbMain = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* mnuFileFolder = nullptr;
    TSpeedButton* spbBackPage = nullptr;
    TSpeedButton* spbNextPage = nullptr;
    TSpeedButton* spbSlidePlay = nullptr;
    TSpeedButton* spbSlidePause = nullptr;
    TSpeedButton* spbSlideStop = nullptr;
    TMenuItem* mnuSlide = nullptr;
    TMenuItem* mnuSlidePlay = nullptr;
    TMenuItem* mnuSlidePause = nullptr;
    TMenuItem* mnuSlideStop = nullptr;
    TEdit* edtSlideTime = nullptr;
    TUpDown* updSlideTime = nullptr;
    TLabel* Label1 = nullptr;
    TTimer* timMain = nullptr;
    TMenuItem* frmFileClose = nullptr;
    TMenuItem* N2 = nullptr;
    TSpeedButton* spbWndWidth = nullptr;
    TSpeedButton* spbWndHeight = nullptr;
    TSpeedButton* spbAutoResize = nullptr;
    TMenuItem* N3 = nullptr;
    TMenuItem* mnuVisibleAutoResize = nullptr;
    TMenuItem* mnuVisibleWndWidth = nullptr;
    TMenuItem* mnuVisibleWndHeight = nullptr;
    TMenuItem* N5 = nullptr;
    TMenuItem* mnuVisibleOption = nullptr;
    TPanel* pnlPageBar = nullptr;
    TComboBox* cmbFileList = nullptr;
    TBevel* bevPageBar = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* mnuVisibleToolBar = nullptr;
    TMenuItem* mnuVisiblePageBar = nullptr;
    TMenuItem* mnuVisibleStatusBar = nullptr;
    TBevel* bevToolBar = nullptr;
    TMenuItem* mnuHelp = nullptr;
    TMenuItem* mnuHelpContents = nullptr;
    TMenuItem* N6 = nullptr;
    TMenuItem* mnuHelpHomePage = nullptr;
    TMenuItem* mnuHelpAbout = nullptr;
    TMenuItem* N7 = nullptr;
    TMenuItem* mnuVisibleFrontWnd = nullptr;

    // Handlers (Main).
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormResize(TObject* Sender);
    void spbCloseClick(TObject* Sender);
    void mnuFileExitClick(TObject* Sender);
    void spbOpenFolderClick(TObject* Sender);
    void mnuFileFolderClick(TObject* Sender);
    void frmFileCloseClick(TObject* Sender);
    void spbBackPageClick(TObject* Sender);
    void spbNextPageClick(TObject* Sender);
    void mnuVisibleBackClick(TObject* Sender);
    void mnuVisibleNextClick(TObject* Sender);
    void pntMainMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void scrMainMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void cmbFileListClick(TObject* Sender);
    void pntMainPaint(TObject* Sender);
    void spbAutoResizeClick(TObject* Sender);
    void spbWndWidthClick(TObject* Sender);
    void spbWndHeightClick(TObject* Sender);
    void mnuVisibleAutoResizeClick(TObject* Sender);
    void mnuVisibleWndWidthClick(TObject* Sender);
    void mnuVisibleWndHeightClick(TObject* Sender);
    void mnuVisibleToolBarClick(TObject* Sender);
    void mnuVisiblePageBarClick(TObject* Sender);
    void mnuVisibleStatusBarClick(TObject* Sender);
    void mnuVisibleFrontWndClick(TObject* Sender);
    void spbSlidePlayClick(TObject* Sender);
    void spbSlidePauseClick(TObject* Sender);
    void spbSlideStopClick(TObject* Sender);
    void mnuSlidePlayClick(TObject* Sender);
    void mnuSlidePauseClick(TObject* Sender);
    void mnuSlideStopClick(TObject* Sender);
    void timMainTimer(TObject* Sender);
    void updSlideTimeClick(TObject* Sender, TUDBtnType Button);
    void mnuVisibleOptionClick(TObject* Sender);
    void mnuHelpContentsClick(TObject* Sender);
    void mnuHelpHomePageClick(TObject* Sender);
    void mnuHelpAboutClick(TObject* Sender);

    // Page, layout and navigation operations (Main).
    void ShowPage(int n);
    void AdjustWindow(bool applyAutoResize);
    void ClearPageImage();
    void DrawPageImage();
    void GoBackPage();
    void GoNextPage();
    void ScrollBoxWndProc(TMessage& Message);

    // Image probing and loading, window stacking (Mainfunc).
    bool LoadJpegFile(const std::string& path, TJPEGImage* image);
    bool JpegToBitmap(TJPEGImage* image, TBitmap* bitmap);
    bool IsBitmapFile(const std::string& path);
    bool IsJpegFile(const std::string& path);
    bool SetTopMost(TForm* window);
    bool ClearTopMost(TForm* window);

    // Folder chooser, file tests, folder scan, settings file (Filefunc).
    std::optional<std::string> SelectFolder(TForm* owner, const std::string& title);
    bool IsFileExist(const std::string& path);
    int FindFiles(const std::string& folder, const std::string& ext, TStringList* list);
    bool IsDirectory(const std::string& path);
    void ClearPageList();
    bool LoadConfig(const std::string& path);
    bool SaveConfig(const std::string& path);
    bool WriteIniInt(int value, const std::string& path, const std::string& section, const std::string& key);
    bool ReadIniInt(int& value, const std::string& path, const std::string& section, const std::string& key);
    // The same on a settings file read once for all the keys of a load or a save.
    bool WriteIniInt(int value, TMemIniFile& ini, const std::string& section, const std::string& key);
    bool ReadIniInt(int& value, const TMemIniFile& ini, const std::string& section, const std::string& key);

    // The state record. Public so that the dialogs, which work on it directly, and the tests
    // can reach it.
    TWndMethod OldScrollWndProc;
    TJPEGImage* JpegImage = nullptr;
    TBitmap* PageBitmap = nullptr;
    TStringList* PageList = nullptr;
    int PageCount = 0;
    int PageNo = 0;
    bool Closing = false;
    bool AutoResize = false;
    bool ToolBar = false;
    bool PageBar = false;
    bool StatusBar = false;
    bool WndFront = false;
    int WndLeft = 0;
    int WndTop = 0;
    int WndWidth = 0;
    int WndHeight = 0;
    bool Sliding = false;
    int SlideTime = 0;
    bool WndPosCng = false;
    bool ExitConfirm = false;

    // The columns of the enabling table of the navigation and slideshow controls (MainSlide).
    enum class TEnabling { StartUp, PlayNoPages, PlayStarts, PlayOnLast, Pause, Stop, ShowEnds, CloseAll };

    // How page turns use the second core: the next page decoded while the loop is idle,
    // and a turn that was not prepared loading beside its probe. Both only change speed;
    // the benchmarks switch them off to show today's cost.
    bool PrepareAhead = true;
    bool LoadBesideProbe = true;
    // The threads that decode pages for ShowPage; null once the window has closed.
    TPageWorker* PageWorker() const { return pageWorker_.get(); }

private:
    void ApplyEnabling(TEnabling column);
    // The loop is idle: the page after the one on show is decoded ahead.
    void PrepareNextPage();
    void StopPageWork();
    void DiscardPageWork();
    std::unique_ptr<TPageWorker> pageWorker_;
    void ResetPageView();
    void ApplyBackNextRules();
    void OpenFolderCommand();
    void FillPageDropDownAndShowFirst();
    void FitWidth();
    void FitHeight();
    void SwitchBar(bool& flag, TControl* bar, TBevel* bevel, int shownHeight, TMenuItem* item);
};

extern TfrmMain* frmMain;

// Seconds as milliseconds, saturated to the int range: a typed interval of millions of
// seconds must not overflow.
inline int SecondsToMilliseconds(long long seconds)
{
    const long long ms = seconds * 1000;
    return ms > 2147483647LL ? 2147483647 : ms < -2147483648LL ? -2147483647 - 1 : static_cast<int>(ms);
}

// The settings file beside the executable.
std::string ConfigPath();
// The support page's web address, without a trailing slash.
extern const char* const SupportPageUrl;
