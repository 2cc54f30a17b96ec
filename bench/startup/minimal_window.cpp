// The yardstick of startup_bench: the least a Qt Widgets program does to put a window of the
// viewer's starting size on screen.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.resize(370, 300);
    window.show();
    return app.exec();
}
