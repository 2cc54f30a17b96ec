#pragma once
// The about box: the icon, the name and version, and a link to the support page.
#include "forms.h"

class TfrmVersion : public TForm {
public:
    explicit TfrmVersion(TComponent* Owner);

    TButton* btnOk = nullptr;
    TLabel* lblURL = nullptr;
    TLabel* Label2 = nullptr;
    TImage* imgIcon = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;

    void FormShow(TObject* Sender);
    void btnOkClick(TObject* Sender);
    void lblURLMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void lblURLMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};

extern TfrmVersion* frmVersion;

// The version the about box shows and fovi --version prints: the project's own, from the build.
extern const char* const ProgramVersion;
