// The about box's handlers.
#include "Frmver.h"

#include "Main.h"
#include "dialog_forms.h"
#include "shell.h"

TfrmVersion* frmVersion = nullptr;

const char* const ProgramVersion = FOVI_VERSION;

TfrmVersion::TfrmVersion(TComponent* Owner) : TForm(Owner)
{
    LayoutVersionForm(*this);
}

void TfrmVersion::FormShow(TObject*)
{
    SetLeft(frmMain->Left() + (frmMain->Width() - Width()) / 2);
    SetTop(frmMain->Top() + (frmMain->Height() - Height()) / 2);
}

void TfrmVersion::btnOkClick(TObject*)
{
    Close();
}

void TfrmVersion::lblURLMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    lblURL->Font().SetColor(clRed);
}

void TfrmVersion::lblURLMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    lblURL->Font().SetColor(clBlue);
    Application->ProcessMessages();
    ShellExecute(this, "open", SupportPageUrl);
}
