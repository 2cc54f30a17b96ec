// Menu items on screen: their captions with the shortcut shown beside them, enabled state
// and check marks, and the clicks that reach the model.
#include "qt_menus.h"

#include <QAction>
#include <QMenu>

#include "qt_convert.h"
#include "qt_peers.h"

namespace {

class TMenuItemPeer : public TQtPeer {
public:
    TMenuItemPeer(TMenuItem& item, QWidget* container) : TQtPeer(item), item_(item)
    {
        if (!item.Items().empty()) {
            menu_ = new QMenu(container);
            action_ = menu_->menuAction();
        } else {
            action_ = new QAction(container);
            QObject::connect(action_, &QAction::triggered, Guard(), [this] {
                TMenuItem& it = item_;
                // The model keeps the check mark; Qt's own toggle never counts.
                if (Input([&] { it.Click(); }))
                    SyncChecked();
            });
        }
        container->addAction(action_);
    }
    ~TMenuItemPeer() override
    {
        if (menu_)
            delete menu_.data();
        else if (action_)
            delete action_.data();
    }
    QAction* Action() const override { return action_; }
    QMenu* Menu() const { return menu_; }

protected:
    void Sync(TChange what) override
    {
        if (!action_)
            return;
        switch (what) {
        case TChange::Text:
        case TChange::ShortCut: {
            // A separator shows no text; some styles would draw a caption beside its line.
            action_->setSeparator(item_.IsLine());
            if (item_.IsLine()) {
                action_->setText(QString());
                break;
            }
            // The shortcut is shown only: keys go to the model, which knows when it applies.
            QString text = QStr(item_.Caption());
            const QString keys = ShortCutText(item_.ShortCut());
            if (!keys.isEmpty())
                text += QLatin1Char('\t') + keys;
            action_->setText(text);
            break;
        }
        case TChange::Enabled: action_->setEnabled(item_.Enabled()); break;
        case TChange::Checked: SyncChecked(); break;
        default: break;
        }
    }

private:
    void SyncChecked()
    {
        if (!action_ || menu_)
            return;
        const QSignalBlocker block(action_);
        action_->setCheckable(item_.Checked());
        action_->setChecked(item_.Checked());
    }

    TMenuItem& item_;
    QPointer<QAction> action_;
    QPointer<QMenu> menu_;
};

}  // namespace

void BuildMenuItems(TMenuItem& parent, QWidget* container)
{
    for (TMenuItem* item : parent.Items()) {
        if (item->Peer())
            continue;
        auto peer = std::make_unique<TMenuItemPeer>(*item, container);
        TMenuItemPeer* raw = peer.get();
        item->SetPeer(std::move(peer));
        raw->SyncAll();
        if (QMenu* sub = raw->Menu())
            BuildMenuItems(*item, sub);
    }
}
