// The program's entry point.
#include "Fmconfig.h"
#include "Frmver.h"
#include "Main.h"
#include "exceptions.h"

int main()
{
    TApplication application;
    try {
        Application->Initialize();
        Application->SetTitle("Folivo");
        Application->CreateForm(frmMain);
        Application->CreateForm(frmVersion);
        Application->CreateForm(frmConfig);
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
