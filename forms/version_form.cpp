// The about box as laid out.
#include "Frmver.h"
#include "Main.h"
#include "dialog_forms.h"

void LayoutVersionForm(TfrmVersion& f)
{
    f.SetName("frmVersion");
    f.SetCaption("ﾊﾞｰｼﾞｮﾝ情報");
    f.BorderStyle = TBorderStyle::bsDialog;
    f.BorderIcons = TBorderIcons{true, false, false};
    f.SetClientWidth(291);
    f.SetClientHeight(136);
    f.SetColor(clBtnFace);

    f.btnOk = NewControl<TButton>(&f, &f, "btnOk");
    f.btnOk->SetBounds(208, 104, 75, 25);
    f.btnOk->SetCaption("OK");
    f.btnOk->SetTabOrder(0);
    f.btnOk->OnClick = [&f](TObject* s) { f.btnOkClick(s); };

    f.lblURL = NewControl<TLabel>(&f, &f, "lblURL");
    f.lblURL->SetBounds(8, 120, 191, 12);
    f.lblURL->SetCaption(std::string(SupportPageUrl) + "/");
    f.lblURL->Font().Underline = true;
    f.lblURL->Font().SetColor(clBlue);
    f.lblURL->SetCursor(TCursor::crHandPoint);
    f.lblURL->Transparent = true;
    f.lblURL->OnMouseDown = [&f](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        f.lblURLMouseDown(s, b, sh, x, y);
    };
    f.lblURL->OnMouseUp = [&f](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
        f.lblURLMouseUp(s, b, sh, x, y);
    };

    f.Label2 = NewControl<TLabel>(&f, &f, "Label2");
    f.Label2->SetBounds(8, 104, 153, 12);
    f.Label2->SetCaption("Folivo\u3000サポートページ");

    f.imgIcon = NewControl<TImage>(&f, &f, "imgIcon");
    f.imgIcon->SetBounds(50, 24, 32, 32);
    f.imgIcon->LoadPicture("mainicon.bmp");

    f.Label3 = NewControl<TLabel>(&f, &f, "Label3");
    f.Label3->SetBounds(90, 24, 153, 24);
    f.Label3->SetCaption("Folivo ");
    f.Label3->Font().Height = 24;
    f.Label3->Font().Bold = true;
    f.Label3->Font().Italic = true;
    f.Label3->Font().SetColor(clBlue);
    f.Label3->Transparent = true;

    f.Label4 = NewControl<TLabel>(&f, &f, "Label4");
    f.Label4->SetBounds(192, 56, 57, 12);
    f.Label4->SetCaption(std::string("Version ") + ProgramVersion);

    f.OnShow = [&f](TObject* s) { f.FormShow(s); };
}
