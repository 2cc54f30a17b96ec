// The options dialog's handlers. The dialog keeps no settings of its own: it reads the main
// window's fields each time it is shown and writes them back on OK.
#include "Fmconfig.h"

#include "Main.h"
#include "dialog_forms.h"
#include "sysutils.h"

TfrmConfig* frmConfig = nullptr;

TfrmConfig::TfrmConfig(TComponent* Owner) : TForm(Owner)
{
    LayoutConfigForm(*this);
}

void TfrmConfig::FormShow(TObject*)
{
    SetLeft(frmMain->Left() + (frmMain->Width() - Width()) / 2);
    SetTop(frmMain->Top() + (frmMain->Height() - Height()) / 2);
    chkWindowPosition->SetChecked(frmMain->WndPosCng);
    chkExitConfirm->SetChecked(frmMain->ExitConfirm);
    updSlideTime->SetPosition(frmMain->SlideTime / 1000);
    edtSlideTime->SetText(IntToStr(updSlideTime->Position()));
}

void TfrmConfig::updSlideTimeClick(TObject*, TUDBtnType)
{
    edtSlideTime->SetText(IntToStr(updSlideTime->Position()));
    frmMain->timMain->SetInterval(SecondsToMilliseconds(StrToInt(edtSlideTime->Text())));
}

void TfrmConfig::btrnOkClick(TObject*)
{
    frmMain->WndPosCng = chkWindowPosition->Checked();
    frmMain->ExitConfirm = chkExitConfirm->Checked();
    const int seconds = StrToInt(edtSlideTime->Text());
    frmMain->SlideTime = SecondsToMilliseconds(seconds);
    frmMain->edtSlideTime->SetText(edtSlideTime->Text());
    frmMain->updSlideTime->SetPosition(seconds);
    Close();
}

void TfrmConfig::btnCancelClick(TObject*)
{
    Close();
}
