// The peers of the controls: each builds its widget, mirrors the control's state onto it and
// turns the user's clicks, choices and edits into the control's input.
#include <algorithm>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSizeGrip>
#include <QToolButton>

#include "qt_backlink.h"
#include "qt_convert.h"
#include "qt_peers.h"

static Qt::FocusPolicy FocusPolicyOf(const TWinControl& control, Qt::FocusPolicy usual)
{
    return control.TabStop() ? usual : Qt::NoFocus;
}

namespace {

// --- Panels, bevels, labels, images -------------------------------------------------------

class TPanelWidget : public TLinkedWidget<const TPanel, QWidget> {
public:
    using TLinkedWidget::TLinkedWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const TPanel* panel = Model();
        if (!panel)
            return;
        QPainter p(this);
        if (!panel->BevelOuterNone) {
            const QRect r = rect().adjusted(0, 0, -1, -1);
            p.setPen(Qt::white);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(QColor(0xA0, 0xA0, 0xA0));
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
        }
        if (!panel->Caption.empty())
            p.drawText(rect(), Qt::AlignCenter, LabelText(panel->Caption));
    }
};

class TPanelPeer : public TControlPeer {
public:
    explicit TPanelPeer(TPanel& panel) : TControlPeer(panel, new TPanelWidget(panel))
    {
        AddPart(widget_, true);
    }

protected:
    bool UsesColor() const override { return true; }
    void Sync(TChange what) override
    {
        TControlPeer::Sync(what);
        if (what == TChange::Text)
            widget_->update();
    }
};

class TBevelWidget : public TLinkedWidget<const TBevel, QWidget> {
public:
    using TLinkedWidget::TLinkedWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const TBevel* bevel = Model();
        if (!bevel)
            return;
        // An etched edge: the shadow line with a highlight line beside it.
        QPainter p(this);
        const QColor shadow(0xA0, 0xA0, 0xA0);
        const int w = width(), h = height();
        switch (bevel->Shape) {
        case TBevelShape::bsTopLine:
            p.fillRect(0, 0, w, 1, shadow);
            p.fillRect(0, 1, w, 1, Qt::white);
            break;
        case TBevelShape::bsBottomLine:
            p.fillRect(0, h - 2, w, 1, shadow);
            p.fillRect(0, h - 1, w, 1, Qt::white);
            break;
        case TBevelShape::bsBox:
            p.setPen(shadow);
            p.drawRect(0, 0, w - 2, h - 2);
            p.setPen(Qt::white);
            p.drawRect(1, 1, w - 2, h - 2);
            break;
        }
    }
};

class TBevelPeer : public TControlPeer {
public:
    explicit TBevelPeer(TBevel& bevel) : TControlPeer(bevel, new TBevelWidget(bevel))
    {
        AddPart(widget_, true);
    }
};

class TLabelPeer : public TControlPeer {
public:
    explicit TLabelPeer(TLabel& label) : TControlPeer(label, new QLabel), label_(label)
    {
        auto* w = static_cast<QLabel*>(widget_.data());
        w->setTextFormat(Qt::PlainText);
        w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        AddPart(widget_, true);
    }

protected:
    bool UsesColor() const override { return !label_.Transparent; }
    void PushBounds() override
    {
        QSize size(label_.Width(), label_.Height());
        // An auto-sized label fits its text; the text is never cut off.
        if (label_.AutoSize)
            size = size.expandedTo(widget_->sizeHint());
        widget_->setGeometry(QRect(QPoint(label_.Left(), label_.Top()), size));
    }
    void Sync(TChange what) override
    {
        if (what == TChange::Text) {
            static_cast<QLabel*>(widget_.data())->setText(LabelText(label_.Caption()));
            PushBounds();
            return;
        }
        TControlPeer::Sync(what);
        if (what == TChange::Font)
            PushBounds();
    }

private:
    TLabel& label_;
};

class TImageWidget : public TLinkedWidget<const TImage, QWidget> {
public:
    using TLinkedWidget::TLinkedWidget;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        const TImage* image = Model();
        if (!image)
            return;
        // The icon is drawn as icons are: its background (the bottom-left pixel's colour) is
        // transparent.
        const QImage picture = TransparentImage(image->Picture());
        if (picture.isNull())
            return;
        QPainter p(this);
        p.drawImage(event->rect().topLeft(), picture, event->rect());
    }
};

class TImagePeer : public TControlPeer {
public:
    explicit TImagePeer(TImage& image) : TControlPeer(image, new TImageWidget(image))
    {
        AddPart(widget_, true);
    }

protected:
    void Sync(TChange what) override
    {
        TControlPeer::Sync(what);
        if (what == TChange::Glyph)
            widget_->update();
    }
};

// --- Buttons ------------------------------------------------------------------------------

class TSpeedButtonPeer : public TControlPeer {
public:
    explicit TSpeedButtonPeer(TSpeedButton& button) : TControlPeer(button, new QToolButton), button_(button)
    {
        auto* w = Button();
        w->setFocusPolicy(Qt::NoFocus);
        w->setToolButtonStyle(Qt::ToolButtonIconOnly);
        QObject::connect(w, &QToolButton::clicked, Guard(), [this] {
            TSpeedButton& b = button_;
            if (Input([&] { b.Click(); }))
                SyncDown();
        });
    }

protected:
    void Sync(TChange what) override
    {
        switch (what) {
        case TChange::Glyph: SyncGlyph(); break;
        case TChange::Checked: SyncDown(); break;
        default: TControlPeer::Sync(what);
        }
    }

private:
    QToolButton* Button() const { return static_cast<QToolButton*>(widget_.data()); }
    // The model latches a grouped button down itself; Qt's own toggle never counts.
    void SyncDown()
    {
        QToolButton* w = Button();
        if (!w)
            return;
        const QSignalBlocker block(w);
        w->setCheckable(button_.GroupIndex() != 0);
        w->setChecked(button_.GroupIndex() != 0 && button_.Down());
    }
    void SyncGlyph()
    {
        const QImage all = TransparentImage(button_.Glyph());
        QIcon icon;
        QSize size;
        if (!all.isNull() && all.width() > 0) {
            const int n = std::max(button_.NumGlyphs(), 1);
            const int w = all.width() / n;
            size = QSize(w, all.height());
            icon.addPixmap(QPixmap::fromImage(all.copy(0, 0, w, all.height())), QIcon::Normal);
            // The second picture is the disabled look; with one, Qt greys the first.
            if (n >= 2)
                icon.addPixmap(QPixmap::fromImage(all.copy(w, 0, w, all.height())), QIcon::Disabled);
        }
        Button()->setIcon(icon);
        if (size.isValid())
            Button()->setIconSize(size);
    }

    TSpeedButton& button_;
};

class TButtonPeer : public TControlPeer {
public:
    explicit TButtonPeer(TButton& button) : TControlPeer(button, new QPushButton), button_(button)
    {
        auto* w = static_cast<QPushButton*>(widget_.data());
        w->setFocusPolicy(FocusPolicyOf(button, Qt::StrongFocus));
        w->setDefault(button.Default);
        QObject::connect(w, &QPushButton::clicked, Guard(), [this] {
            TButton& b = button_;
            Input([&] { b.Click(); });
        });
    }

protected:
    void Sync(TChange what) override
    {
        if (what == TChange::Text)
            static_cast<QPushButton*>(widget_.data())->setText(QStr(button_.Caption()));
        else
            TControlPeer::Sync(what);
    }

private:
    TButton& button_;
};

class TCheckBoxPeer : public TControlPeer {
public:
    explicit TCheckBoxPeer(TCheckBox& check) : TControlPeer(check, new QCheckBox), check_(check)
    {
        auto* w = Box();
        w->setFocusPolicy(FocusPolicyOf(check, Qt::StrongFocus));
        QObject::connect(w, &QCheckBox::clicked, Guard(), [this] {
            TCheckBox& c = check_;
            if (Input([&] { c.Click(); }))
                SyncChecked();
        });
    }

protected:
    void Sync(TChange what) override
    {
        switch (what) {
        case TChange::Text: Box()->setText(QStr(check_.Caption())); break;
        case TChange::Checked: SyncChecked(); break;
        default: TControlPeer::Sync(what);
        }
    }

private:
    QCheckBox* Box() const { return static_cast<QCheckBox*>(widget_.data()); }
    void SyncChecked()
    {
        if (QCheckBox* w = Box()) {
            const QSignalBlocker block(w);
            w->setChecked(check_.Checked());
        }
    }
    TCheckBox& check_;
};

// --- Edits, up-downs, combo boxes ---------------------------------------------------------

class TEditPeer : public TControlPeer {
public:
    explicit TEditPeer(TEdit& edit) : TControlPeer(edit, new QLineEdit), edit_(edit)
    {
        auto* w = Line();
        w->setFocusPolicy(FocusPolicyOf(edit, Qt::StrongFocus));
        QObject::connect(w, &QLineEdit::textEdited, Guard(), [this](const QString& text) {
            TEdit& e = edit_;
            const std::string t = StdStr(text);
            Input([&] { e.UserEdited(t); });
        });
    }

protected:
    void Sync(TChange what) override
    {
        switch (what) {
        case TChange::Text:
            if (Line()->text() != QStr(edit_.Text()))
                Line()->setText(QStr(edit_.Text()));
            break;
        case TChange::ReadOnly: Line()->setReadOnly(edit_.ReadOnly()); break;
        default: TControlPeer::Sync(what);
        }
    }

private:
    QLineEdit* Line() const { return static_cast<QLineEdit*>(widget_.data()); }
    TEdit& edit_;
};

class TUpDownWidget : public QWidget {
public:
    TUpDownWidget() : up(new QToolButton(this)), down(new QToolButton(this))
    {
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* b : {up, down}) {
            b->setFocusPolicy(Qt::NoFocus);
            b->setAutoRepeat(true);
        }
    }
    QToolButton* up;
    QToolButton* down;

protected:
    void resizeEvent(QResizeEvent*) override
    {
        const int half = height() / 2;
        up->setGeometry(0, 0, width(), half);
        down->setGeometry(0, half, width(), height() - half);
    }
};

class TUpDownPeer : public TControlPeer {
public:
    explicit TUpDownPeer(TUpDown& updown) : TControlPeer(updown, new TUpDownWidget), updown_(updown)
    {
        auto* w = static_cast<TUpDownWidget*>(widget_.data());
        QObject::connect(w->up, &QToolButton::clicked, Guard(), [this] { Arrow(TUDBtnType::btNext); });
        QObject::connect(w->down, &QToolButton::clicked, Guard(), [this] { Arrow(TUDBtnType::btPrev); });
    }

private:
    void Arrow(TUDBtnType button)
    {
        TUpDown& u = updown_;
        Input([&] { u.ArrowClick(button); });
    }
    TUpDown& updown_;
};

class TComboBoxPeer : public TControlPeer {
public:
    explicit TComboBoxPeer(TComboBox& combo) : TControlPeer(combo, new QComboBox), combo_(combo)
    {
        auto* w = Combo();
        w->setEditable(false);
        w->setFocusPolicy(FocusPolicyOf(combo, Qt::StrongFocus));
        // Long lists: no measuring of every entry, and rows of one height.
        w->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        if (auto* view = qobject_cast<QListView*>(w->view()))
            view->setUniformItemSizes(true);
        // A drop-down of a few rows with a scroll bar, as the classic list shows, rather than
        // a list as tall as the screen.
        w->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
        w->setMaxVisibleItems(8);
        QObject::connect(w, &QComboBox::activated, Guard(), [this](int index) {
            TComboBox& c = combo_;
            if (Input([&] { c.UserSelect(index); }))
                SyncIndex();
        });
    }

protected:
    void Sync(TChange what) override
    {
        switch (what) {
        case TChange::Items: SyncItems(); break;
        case TChange::ItemIndex: SyncIndex(); break;
        default: TControlPeer::Sync(what);
        }
    }

private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget_.data()); }
    // The list only grows by appending or is emptied, and each change is reported, so the
    // widget's entries are a prefix of the model's: append what is new, rebuild otherwise.
    void SyncItems()
    {
        QComboBox* w = Combo();
        const QSignalBlocker block(w);
        const std::vector<std::string>& items = combo_.Items().Items();
        const int have = w->count();
        const int want = static_cast<int>(items.size());
        const bool prefix = have <= want && (have == 0 || w->itemText(have - 1) == QStr(items[size_t(have - 1)]));
        if (!prefix) {
            w->clear();
            AppendItems(0);
        } else if (want > have) {
            AppendItems(have);
        }
        w->setCurrentIndex(combo_.ItemIndex());
    }
    void AppendItems(int from)
    {
        const std::vector<std::string>& items = combo_.Items().Items();
        QStringList list;
        list.reserve(static_cast<qsizetype>(items.size()) - from);
        for (size_t i = size_t(from); i < items.size(); ++i)
            list.append(QStr(items[i]));
        Combo()->addItems(list);
    }
    void SyncIndex()
    {
        QComboBox* w = Combo();
        if (!w)
            return;
        const QSignalBlocker block(w);
        if (w->count() != combo_.Items().Count())
            SyncItems();
        w->setCurrentIndex(combo_.ItemIndex());
    }
    TComboBox& combo_;
};

// --- Status bar ---------------------------------------------------------------------------

class TStatusBarWidget : public TLinkedWidget<TStatusBar, QWidget> {
public:
    explicit TStatusBarWidget(TStatusBar& bar) : TLinkedWidget(bar), grip_(new QSizeGrip(this)) {}

    // Each panel is a sunken frame with its text; they sit side by side with a small gap
    // below a thin top margin, and the last one takes what is left beside the size grip.
    void LayoutPanels()
    {
        TStatusBar* bar = Model();
        if (!bar)
            return;
        const int n = bar->PanelCount();
        while (static_cast<int>(panels_.size()) < n) {
            auto* label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(1);
            label->setIndent(2);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->show();
            panels_.push_back(label);
        }
        while (static_cast<int>(panels_.size()) > n) {
            delete panels_.back();
            panels_.pop_back();
        }
        const QSize grip = grip_->sizeHint();
        grip_->setGeometry(width() - grip.width(), height() - grip.height(), grip.width(), grip.height());
        grip_->setVisible(bar->SizeGrip);
        const int right = width() - (bar->SizeGrip ? grip.width() : 0);
        const int top = 2;
        int left = 0;
        for (int i = 0; i < n; ++i) {
            const int end = i + 1 < n ? left + bar->Panels(i)->Width() : std::max(right, left);
            panels_[size_t(i)]->setGeometry(left, top, std::max(end - left, 0), std::max(height() - top, 0));
            panels_[size_t(i)]->setText(QStr(bar->Panels(i)->Text()));
            left = end + 2;
        }
    }

protected:
    void resizeEvent(QResizeEvent*) override { LayoutPanels(); }

private:
    QSizeGrip* grip_;
    std::vector<QLabel*> panels_;
};

class TStatusBarPeer : public TControlPeer {
public:
    explicit TStatusBarPeer(TStatusBar& bar) : TControlPeer(bar, new TStatusBarWidget(bar))
    {
        AddPart(widget_, true);
    }

protected:
    bool UsesColor() const override { return true; }
    void Sync(TChange what) override
    {
        TControlPeer::Sync(what);
        if (what == TChange::Panels)
            Bar()->LayoutPanels();
    }

private:
    TStatusBarWidget* Bar() const { return static_cast<TStatusBarWidget*>(widget_.data()); }
};

// --- Scroll box and paint box -------------------------------------------------------------

class TScrollBoxPeer : public TControlPeer {
public:
    explicit TScrollBoxPeer(TScrollBox& box) : TControlPeer(box, new QScrollArea), box_(box)
    {
        auto* area = Area();
        area->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        area->setLineWidth(box.SingleBorder ? 1 : 0);
        area->setWidgetResizable(false);
        area->setFocusPolicy(FocusPolicyOf(box, Qt::StrongFocus));
        content_ = new QWidget;
        area->setWidget(content_);
        AddPart(area->viewport(), true);
        AddPart(content_, true);
    }

    QWidget* Container() const override { return content_; }
    void ChildGeometryChanged() override
    {
        // The scrolled content is just large enough for the visible children.
        int w = 0, h = 0;
        for (TControl* c : box_.Controls())
            if (c->Visible()) {
                w = std::max(w, c->Left() + c->Width());
                h = std::max(h, c->Top() + c->Height());
            }
        if (content_)
            content_->resize(w, h);
    }

protected:
    void Sync(TChange what) override
    {
        TControlPeer::Sync(what);
        // The colour fills what the box shows; its scroll bars and their corner keep the
        // system's.
        if (what == TChange::Color && content_) {
            for (QWidget* w : {Area()->viewport(), content_.data()}) {
                QPalette p = w->palette();
                p.setColor(QPalette::Window, QColorOf(box_.Color()));
                w->setPalette(p);
                w->setAutoFillBackground(true);
            }
        }
    }
    QPoint ControlPoint(QWidget* part, QPoint p) const override
    {
        // The box's own coordinates are those of what it shows.
        QWidget* viewport = Area()->viewport();
        return part == viewport ? p : part->mapTo(viewport, p);
    }

private:
    QScrollArea* Area() const { return static_cast<QScrollArea*>(widget_.data()); }
    TScrollBox& box_;
    QPointer<QWidget> content_;
};

class TPaintBoxWidget : public TLinkedWidget<const TPaintBox, QWidget> {
public:
    explicit TPaintBoxWidget(const TPaintBox& box) : TLinkedWidget(box)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        const TPaintBox* box = Model();
        if (!box)
            return;
        // The program's drawing is kept in the surface; the screen shows it as it stands.
        QPainter p(this);
        const QImage surface = WrapSurface(box->Surface());
        const QRect r = event->rect();
        if (!surface.isNull())
            p.drawImage(r.topLeft(), surface, r);
        const QRect outside = QRegion(r).subtracted(QRegion(surface.rect())).boundingRect();
        if (!outside.isEmpty())
            p.fillRect(outside, palette().color(QPalette::Window));
    }
};

class TPaintBoxPeer : public TControlPeer {
public:
    explicit TPaintBoxPeer(TPaintBox& box) : TControlPeer(box, new TPaintBoxWidget(box)), box_(box)
    {
        AddPart(widget_, true);
    }

protected:
    void Sync(TChange what) override
    {
        switch (what) {
        case TChange::Painted: {
            const TRect r = box_.TakeDirtyRect();
            if (r.Width() > 0 && r.Height() > 0)
                widget_->update(r.Left, r.Top, r.Width(), r.Height());
            break;
        }
        case TChange::Bounds:
            TControlPeer::Sync(what);
            widget_->update();
            break;
        default: TControlPeer::Sync(what);
        }
    }

private:
    TPaintBox& box_;
};

// --- Group box and plain controls ---------------------------------------------------------

class TGroupBoxPeer : public TControlPeer {
public:
    explicit TGroupBoxPeer(TGroupBox& box) : TControlPeer(box, new QGroupBox), box_(box)
    {
        AddPart(widget_, true);
    }

protected:
    void Sync(TChange what) override
    {
        if (what == TChange::Text)
            static_cast<QGroupBox*>(widget_.data())->setTitle(QStr(box_.Caption));
        else
            TControlPeer::Sync(what);
    }

private:
    TGroupBox& box_;
};

class TPlainPeer : public TControlPeer {
public:
    explicit TPlainPeer(TControl& control) : TControlPeer(control, new QWidget)
    {
        AddPart(widget_, true);
    }
};

}  // namespace

std::unique_ptr<TQtPeer> MakePeer(TComponent& c, const std::shared_ptr<TFrameCache>& frames)
{
    if (auto* x = dynamic_cast<TForm*>(&c)) return MakeFormPeer(*x, frames);
    if (auto* x = dynamic_cast<TPanel*>(&c)) return std::make_unique<TPanelPeer>(*x);
    if (auto* x = dynamic_cast<TBevel*>(&c)) return std::make_unique<TBevelPeer>(*x);
    if (auto* x = dynamic_cast<TSpeedButton*>(&c)) return std::make_unique<TSpeedButtonPeer>(*x);
    if (auto* x = dynamic_cast<TEdit*>(&c)) return std::make_unique<TEditPeer>(*x);
    if (auto* x = dynamic_cast<TUpDown*>(&c)) return std::make_unique<TUpDownPeer>(*x);
    if (auto* x = dynamic_cast<TLabel*>(&c)) return std::make_unique<TLabelPeer>(*x);
    if (auto* x = dynamic_cast<TComboBox*>(&c)) return std::make_unique<TComboBoxPeer>(*x);
    if (auto* x = dynamic_cast<TStatusBar*>(&c)) return std::make_unique<TStatusBarPeer>(*x);
    if (auto* x = dynamic_cast<TScrollBox*>(&c)) return std::make_unique<TScrollBoxPeer>(*x);
    if (auto* x = dynamic_cast<TPaintBox*>(&c)) return std::make_unique<TPaintBoxPeer>(*x);
    if (auto* x = dynamic_cast<TButton*>(&c)) return std::make_unique<TButtonPeer>(*x);
    if (auto* x = dynamic_cast<TCheckBox*>(&c)) return std::make_unique<TCheckBoxPeer>(*x);
    if (auto* x = dynamic_cast<TGroupBox*>(&c)) return std::make_unique<TGroupBoxPeer>(*x);
    if (auto* x = dynamic_cast<TImage*>(&c)) return std::make_unique<TImagePeer>(*x);
    if (auto* x = dynamic_cast<TControl*>(&c)) return std::make_unique<TPlainPeer>(*x);
    // Timers, menus (their form builds the actions) and the like have no widget.
    return std::make_unique<TQtPeer>(c);
}

void ApplyTabOrder(TWinControl& control)
{
    std::vector<TWinControl*> children;
    for (TControl* c : control.Controls())
        if (auto* w = dynamic_cast<TWinControl*>(c))
            children.push_back(w);
    std::stable_sort(children.begin(), children.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    QWidget* previous = nullptr;
    for (TWinControl* child : children) {
        TQtPeer* peer = QtPeerOf(*child);
        QWidget* w = peer ? peer->Widget() : nullptr;
        if (w && (w->focusPolicy() & Qt::TabFocus)) {
            if (previous)
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
        ApplyTabOrder(*child);
    }
}
