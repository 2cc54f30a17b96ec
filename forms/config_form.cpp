// The options dialog as laid out.
#include "Fmconfig.h"
#include "dialog_forms.h"

void LayoutConfigForm(TfrmConfig& f)
{
    f.SetName("frmConfig");
    f.SetCaption("設定");
    f.BorderStyle = TBorderStyle::bsDialog;
    f.BorderIcons = TBorderIcons{true, false, false};
    f.SetClientWidth(249);
    f.SetClientHeight(167);

    f.chkWindowPosition = NewControl<TCheckBox>(&f, &f, "chkWindowPosition");
    f.chkWindowPosition->SetBounds(8, 8, 209, 17);
    f.chkWindowPosition->SetCaption("ウィンドウの位置・サイズを保存する");
    f.chkWindowPosition->SetTabOrder(2);
    f.chkExitConfirm = NewControl<TCheckBox>(&f, &f, "chkExitConfirm");
    f.chkExitConfirm->SetBounds(8, 24, 121, 17);
    f.chkExitConfirm->SetCaption("終了時に確認する");
    f.chkExitConfirm->SetTabOrder(3);
    f.chkExitConfirm->SetVisible(false);

    f.GroupBox1 = NewControl<TGroupBox>(&f, &f, "GroupBox1");
    f.GroupBox1->SetBounds(8, 48, 233, 57);
    f.GroupBox1->Caption = "スライドショー";
    f.GroupBox1->SetTabOrder(4);
    f.Label1 = NewControl<TLabel>(&f, f.GroupBox1, "Label1");
    f.Label1->SetBounds(16, 24, 112, 12);
    f.Label1->SetCaption("スライドショーの間隔：");
    f.edtSlideTime = NewControl<TEdit>(&f, f.GroupBox1, "edtSlideTime");
    f.edtSlideTime->SetBounds(136, 20, 33, 20);
    f.edtSlideTime->SetTabOrder(0);
    f.updSlideTime = NewControl<TUpDown>(&f, f.GroupBox1, "updSlideTime");
    f.updSlideTime->SetBounds(168, 20, 17, 20);
    f.updSlideTime->SetMin(0);
    f.updSlideTime->SetMax(100);
    f.updSlideTime->SetPosition(0);
    f.updSlideTime->SetTabOrder(1);
    f.updSlideTime->OnClickArrow = [&f](TObject* s, TUDBtnType b) { f.updSlideTimeClick(s, b); };
    f.Label2 = NewControl<TLabel>(&f, f.GroupBox1, "Label2");
    f.Label2->SetBounds(189, 25, 12, 12);
    f.Label2->SetCaption("秒");

    f.btrnOk = NewControl<TButton>(&f, &f, "btrnOk");
    f.btrnOk->SetBounds(88, 136, 75, 25);
    f.btrnOk->SetCaption("OK");
    f.btrnOk->SetTabOrder(0);
    f.btrnOk->OnClick = [&f](TObject* s) { f.btrnOkClick(s); };
    f.btnCancel = NewControl<TButton>(&f, &f, "btnCancel");
    f.btnCancel->SetBounds(168, 136, 75, 25);
    f.btnCancel->SetCaption("Cancel");
    f.btnCancel->SetTabOrder(1);
    f.btnCancel->OnClick = [&f](TObject* s) { f.btnCancelClick(s); };

    f.OnShow = [&f](TObject* s) { f.FormShow(s); };
}
