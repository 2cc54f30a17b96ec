#include "qt_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

class TFolderDialog : public QFileDialog {
public:
    TFolderDialog(QWidget* parent, const QString& title) : QFileDialog(parent, title, QStringLiteral("/"))
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::ShowDirsOnly);
        setFileMode(QFileDialog::Directory);
        // Names only: the detailed view's type and date columns come from the system's
        // descriptions, which are not the program's language.
        setViewMode(QFileDialog::List);
        setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    }
    QString Chosen() const { return chosen_.isEmpty() && !selectedFiles().isEmpty() ? selectedFiles().first() : chosen_; }

    void accept() override
    {
        // The dialog would take the entry its list has selected, and its list knows a folder
        // made a moment ago only once it has read the folder again: a typed path goes by
        // the file system alone.
        const QLineEdit* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text().trimmed() : QString();
        if (!typed.isEmpty()) {
            const QString path = QDir::isAbsolutePath(typed) ? typed : directory().absoluteFilePath(typed);
            if (QFileInfo(path).isDir()) {
                chosen_ = QDir::cleanPath(path);
                QDialog::accept();
                return;
            }
        }
        // Anything else as the dialog has it: a selected entry is chosen, a name that is no
        // folder is reported and the dialog stays.
        QFileDialog::accept();
    }

private:
    QString chosen_;
};

}  // namespace

bool ChooseFolder(QWidget* parent, const QString& title, QString& path)
{
    TFolderDialog dialog(parent, title);
    if (dialog.exec() != QDialog::Accepted || dialog.Chosen().isEmpty())
        return false;
    path = dialog.Chosen();
    return true;
}
