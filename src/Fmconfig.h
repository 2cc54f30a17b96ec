#pragma once
// The options dialog: restoring the window's place at start, and the slideshow interval.
#include "forms.h"

class TfrmConfig : public TForm {
public:
    explicit TfrmConfig(TComponent* Owner);

    TCheckBox* chkWindowPosition = nullptr;
    TCheckBox* chkExitConfirm = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* edtSlideTime = nullptr;
    TUpDown* updSlideTime = nullptr;
    TLabel* Label2 = nullptr;
    TButton* btrnOk = nullptr;
    TButton* btnCancel = nullptr;

    void FormShow(TObject* Sender);
    void updSlideTimeClick(TObject* Sender, TUDBtnType Button);
    void btrnOkClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
};

extern TfrmConfig* frmConfig;
