#include "gui/ControlWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QToolButton>

#include "framework/ButtonControl.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/GroupBox.h"
#include "framework/RadioButton.h"
#include "framework/RichEdit.h"
#include "framework/SpeedButton.h"
#include "gui/GuiSupport.h"

namespace {

void ApplyFont(QWidget* w, const TFont& font) {
  w->setFont(ToQFont(font));
  if (font.Color() == clBlack) return;
  QPalette pal = w->palette();
  const QColor c = ToQColor(font.Color());
  pal.setColor(QPalette::WindowText, c);
  pal.setColor(QPalette::ButtonText, c);
  // Check boxes and radio buttons draw their mark in the Text colour on the Base colour: a
  // light caption colour there would make the checked mark vanish into its white circle.
  if (qobject_cast<QCheckBox*>(w) == nullptr && qobject_cast<QRadioButton*>(w) == nullptr)
    pal.setColor(QPalette::Text, c);
  w->setPalette(pal);
}

}  // namespace

TControlWidgets::TControlWidgets(TControl* root, QWidget* host)
    : QObject(host), FRoot(root), FHost(host) {
  if (FRoot != nullptr) Resync();
}

TControlWidgets::~TControlWidgets() {
  for (TControl* c : FObserved) c->RemoveObserver(this);
  for (auto& [model, entry] : FWidgets) delete entry.Widget.data();
}

bool TControlWidgets::IsWidgetKind(const TControl* c) {
  return dynamic_cast<const TButtonControl*>(c) != nullptr ||
         dynamic_cast<const TGroupBox*>(c) != nullptr ||
         dynamic_cast<const TComboBox*>(c) != nullptr ||
         dynamic_cast<const TRichEdit*>(c) != nullptr;
}

QWidget* TControlWidgets::WidgetFor(const TControl* c) const {
  const auto it = FWidgets.find(c);
  return it == FWidgets.end() ? nullptr : it->second.Widget.data();
}

void TControlWidgets::Observe(TControl* c) {
  if (FObserved.insert(c).second) c->AddObserver(this);
}

void TControlWidgets::Resync() {
  if (FRoot == nullptr || FHost.isNull()) return;
  FSyncing = true;
  Observe(FRoot);
  FCarriers.clear();
  std::unordered_set<TControl*> seen;
  for (TControl* child : FRoot->Children()) Place(child, FHost, QPoint(0, 0), true, seen);
  // Widgets whose models left the tree go.
  for (auto it = FWidgets.begin(); it != FWidgets.end();) {
    if (seen.count(const_cast<TControl*>(it->first)) == 0) {
      delete it->second.Widget.data();
      it = FWidgets.erase(it);
    } else {
      ++it;
    }
  }
  FSyncing = false;
}

void TControlWidgets::Place(TControl* c, QWidget* container, QPoint offset, bool visible,
                            std::unordered_set<TControl*>& seen) {
  seen.insert(c);
  Observe(c);
  const QPoint at = offset + QPoint(c->Left(), c->Top());
  if (IsWidgetKind(c)) {
    QWidget* w = WidgetFor(c);
    if (w == nullptr) {
      w = Create(c, container);
      FWidgets[c].Widget = w;
    }
    w->setGeometry(at.x(), at.y(), c->Width(), c->Height());
    Sync(c, w);
    w->setVisible(visible && c->Visible());
    // Models inside a widget's model live inside the widget.
    for (TControl* child : c->Children()) Place(child, w, QPoint(0, 0), true, seen);
    return;
  }
  for (TControl* child : c->Children()) Place(child, container, at, visible && c->Visible(), seen);
  // A model without a widget carries the widgets placed below it: when it moves or hides, they
  // must follow.
  bool carries = false;
  for (const TControl* child : c->Children())
    if (WidgetFor(child) != nullptr || FCarriers.count(child) != 0) carries = true;
  if (carries) FCarriers.insert(c);
}

QWidget* TControlWidgets::Create(TControl* c, QWidget* container) {
  QWidget* w = nullptr;
  auto alive = [this, c] { return FWidgets.count(c) != 0; };
  if (auto* g = dynamic_cast<TGroupBox*>(c)) {
    (void)g;
    w = new QGroupBox(container);
  } else if (auto* cb = dynamic_cast<TCheckBox*>(c)) {
    auto* q = new QCheckBox(container);
    connect(q, &QCheckBox::clicked, this, [this, cb, q, alive] {
      if (!alive()) return;
      cb->Click();
      if (alive()) Sync(cb, q);
    });
    w = q;
  } else if (auto* rb = dynamic_cast<TRadioButton*>(c)) {
    auto* q = new QRadioButton(container);
    // The model keeps the groups; Qt's own grouping by parent widget would not match them.
    q->setAutoExclusive(false);
    connect(q, &QRadioButton::clicked, this, [this, rb, q, alive] {
      if (!alive()) return;
      rb->Click();
      if (alive()) Sync(rb, q);
    });
    w = q;
  } else if (auto* sb = dynamic_cast<TSpeedButton*>(c)) {
    auto* q = new QToolButton(container);
    q->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(q, &QToolButton::clicked, this, [this, sb, q, alive] {
      if (!alive()) return;
      sb->Click();
      if (alive()) Sync(sb, q);
    });
    w = q;
  } else if (auto* b = dynamic_cast<TButton*>(c)) {
    auto* q = new QPushButton(container);
    connect(q, &QPushButton::clicked, this, [b, alive] {
      if (alive()) b->Click();
    });
    w = q;
  } else if (auto* combo = dynamic_cast<TComboBox*>(c)) {
    auto* q = new QComboBox(container);
    connect(q, &QComboBox::activated, this, [this, combo, q, alive](int index) {
      if (!alive()) return;
      combo->Select(index);
      if (alive()) Sync(combo, q);
    });
    w = q;
  } else if (dynamic_cast<TRichEdit*>(c) != nullptr) {
    auto* q = new QTextEdit(container);
    q->setAcceptRichText(false);
    w = q;
  } else {
    w = new QWidget(container);
  }
  w->setObjectName(ToQString(c->Name));
  return w;
}

void TControlWidgets::Sync(TControl* c, QWidget* w) {
  w->setEnabled(c->Enabled());
  w->setToolTip(c->HasTooltip() ? ToQString(c->Hint()) : QString());
  if (auto* g = dynamic_cast<TGroupBox*>(c)) {
    auto* q = static_cast<QGroupBox*>(w);
    q->setTitle(ToQString(g->Caption()));
    // A caption sits in the frame's top line, as the layouts were designed for: the frame then
    // encloses the whole box, and the controls laid out just under the caption stay inside it
    // instead of being cut by a frame drawn a caption's height lower. A box without a caption
    // keeps its frame at the top.
    const QString style = g->Caption().empty()
                              ? QString()
                              : QStringLiteral(
                                    "QGroupBox { border: 1px solid #a0a0a0; border-radius: 3px;"
                                    " margin-top: 6px; }"
                                    "QGroupBox::title { subcontrol-origin: margin;"
                                    " subcontrol-position: top left; left: 8px; padding: 0px 1px; }");
    if (q->styleSheet() != style) q->setStyleSheet(style);
    ApplyFont(q, g->Font);
  } else if (auto* cb = dynamic_cast<TCheckBox*>(c)) {
    auto* q = static_cast<QCheckBox*>(w);
    const QSignalBlocker block(q);
    q->setText(ToQString(cb->Caption()));
    q->setChecked(cb->Checked());
    ApplyFont(q, cb->Font);
  } else if (auto* rb = dynamic_cast<TRadioButton*>(c)) {
    auto* q = static_cast<QRadioButton*>(w);
    const QSignalBlocker block(q);
    q->setText(ToQString(rb->Caption()));
    q->setChecked(rb->Checked());
    ApplyFont(q, rb->Font);
  } else if (auto* sb = dynamic_cast<TSpeedButton*>(c)) {
    auto* q = static_cast<QToolButton*>(w);
    const QSignalBlocker block(q);
    q->setText(ToQString(sb->Caption()));
    q->setAutoRaise(sb->Flat());
    q->setCheckable(sb->GroupIndex() != 0);
    q->setChecked(sb->Down());
    ApplyFont(q, sb->Font);
  } else if (auto* b = dynamic_cast<TButtonControl*>(c)) {
    auto* q = static_cast<QPushButton*>(w);
    q->setText(ToQString(b->Caption()));
    ApplyFont(q, b->Font);
  } else if (auto* combo = dynamic_cast<TComboBox*>(c)) {
    auto* q = static_cast<QComboBox*>(w);
    const QSignalBlocker block(q);
    bool same = q->count() == combo->Count();
    for (int i = 0; same && i < combo->Count(); ++i)
      same = q->itemText(i) == ToQString(combo->Items()[static_cast<std::size_t>(i)]);
    if (!same) {
      q->clear();
      for (const std::string& item : combo->Items()) q->addItem(ToQString(item));
    }
    q->setEditable(combo->Style() == csDropDown);
    q->setCurrentIndex(combo->ItemIndex());
    ApplyFont(q, combo->Font);
  } else if (auto* edit = dynamic_cast<TRichEdit*>(c)) {
    auto* q = static_cast<QTextEdit*>(w);
    const QString text = ToQString(edit->Text());
    if (q->toPlainText() != text) q->setPlainText(text);
    q->setReadOnly(edit->ReadOnly());
    ApplyFont(q, edit->Font);
  }
}

void TControlWidgets::ControlChanged(TControl* control) {
  if (FSyncing) return;
  if (control == FRoot || FCarriers.count(control) != 0) {
    Resync();
    return;
  }
  QWidget* w = WidgetFor(control);
  if (w == nullptr) return;
  // Where the widget goes depends on its ancestors up to the nearest one with a widget.
  QPoint at(control->Left(), control->Top());
  bool visible = control->Visible();
  for (const TControl* p = control->Parent(); p != nullptr && p != FRoot && WidgetFor(p) == nullptr;
       p = p->Parent()) {
    at += QPoint(p->Left(), p->Top());
    visible = visible && p->Visible();
  }
  w->setGeometry(at.x(), at.y(), control->Width(), control->Height());
  Sync(control, w);
  w->setVisible(visible);
}

void TControlWidgets::ControlDestroyed(TControl* control) {
  FObserved.erase(control);
  FCarriers.erase(control);
  if (control == FRoot) FRoot = nullptr;
  const auto it = FWidgets.find(control);
  if (it == FWidgets.end()) return;
  // The widget may be in the middle of delivering the click that destroyed its model.
  if (QWidget* w = it->second.Widget.data()) {
    w->hide();
    w->deleteLater();
  }
  FWidgets.erase(it);
}

void TControlWidgets::ChildrenChanged(TControl* control) {
  (void)control;
  if (!FSyncing) Resync();
}
