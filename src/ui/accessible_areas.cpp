#include "ui/accessible_areas.h"

#include <QAbstractSlider>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <map>
#include <set>

#include "ui/theme.h"

namespace tessaron::ui {

namespace {

// The sources still whole: a window's QWidget part outlives the source part, and a reader may
// ask about it meanwhile.
std::set<const PaintedAreaSource*>& liveSources() {
    static std::set<const PaintedAreaSource*> sources;
    return sources;
}

bool isLive(const PaintedAreaSource* source) {
    return liveSources().count(source) != 0;
}

}  // namespace

PaintedAreaSource::PaintedAreaSource() {
    installPaintedAccessibility();
    liveSources().insert(this);
}

PaintedAreaSource::~PaintedAreaSource() {
    liveSources().erase(this);
}

// ---- Keyboard movement.

const PaintedArea* findArea(const std::vector<PaintedArea>& areas, int id) {
    const auto it =
        std::find_if(areas.begin(), areas.end(), [id](const PaintedArea& a) { return a.id == id; });
    return it == areas.end() ? nullptr : &*it;
}

const WindowArea* findArea(const std::vector<WindowArea>& areas, int id) {
    const auto it =
        std::find_if(areas.begin(), areas.end(), [id](const WindowArea& a) { return a.id == id; });
    return it == areas.end() ? nullptr : &*it;
}

int areaAt(const std::vector<WindowArea>& areas, QPoint p) {
    const auto it = std::find_if(areas.begin(), areas.end(),
                                 [p](const WindowArea& a) { return a.hit && a.rect.contains(p); });
    return it == areas.end() ? -1 : it->id;
}

std::vector<PaintedArea> readableAreas(std::vector<WindowArea> areas) {
    std::vector<PaintedArea> out;
    out.reserve(areas.size());
    for (WindowArea& a : areas) {
        if (a.readable) out.push_back(std::move(a));
    }
    return out;
}

namespace {

// The area a group is entered on: its checked or selected area, else its first.
int groupEntry(const std::vector<PaintedArea>& areas, int group) {
    int first = -1;
    for (const PaintedArea& a : areas) {
        if (a.group != group) continue;
        if (first < 0) first = a.id;
        if (a.state.checked || a.state.selected) return a.id;
    }
    return first;
}

int moveGroup(const std::vector<PaintedArea>& areas, int current, bool forward) {
    // Groups in the order of their first area.
    std::vector<int> groups;
    for (const PaintedArea& a : areas) {
        if (std::find(groups.begin(), groups.end(), a.group) == groups.end()) {
            groups.push_back(a.group);
        }
    }
    const PaintedArea* at = findArea(areas, current);
    if (at == nullptr) return groupEntry(areas, forward ? groups.front() : groups.back());
    const auto here = std::find(groups.begin(), groups.end(), at->group) - groups.begin();
    const auto count = static_cast<std::ptrdiff_t>(groups.size());
    const auto next = (here + (forward ? 1 : count - 1)) % count;
    return groupEntry(areas, groups[static_cast<std::size_t>(next)]);
}

int moveWithin(const std::vector<PaintedArea>& areas, int current, Move move) {
    const PaintedArea* at = findArea(areas, current);
    if (at == nullptr) return moveGroup(areas, current, true);
    const QPoint from = at->rect.center();
    const bool horizontal = move == Move::Left || move == Move::Right;
    const int sign = (move == Move::Right || move == Move::Down) ? 1 : -1;
    int best = -1;
    long bestScore = std::numeric_limits<long>::max();
    for (const PaintedArea& a : areas) {
        if (a.group != at->group || a.id == at->id) continue;
        const QPoint to = a.rect.center();
        const int along = sign * (horizontal ? to.x() - from.x() : to.y() - from.y());
        const int across = std::abs(horizontal ? to.y() - from.y() : to.x() - from.x());
        if (along <= 0) continue;
        // Across the way counts more than along it, so a move keeps to its row or column.
        const long score = along + 3L * across;
        if (score < bestScore) {
            bestScore = score;
            best = a.id;
        }
    }
    if (best >= 0) return best;
    // Nothing lies that way: step through the group in list order (a row of radios, a list
    // whose rows share one column).
    std::vector<int> members;
    for (const PaintedArea& a : areas) {
        if (a.group == at->group) members.push_back(a.id);
    }
    const auto i = std::find(members.begin(), members.end(), current) - members.begin();
    const auto j = i + sign;
    if (j < 0 || j >= static_cast<std::ptrdiff_t>(members.size())) return current;
    return members[static_cast<std::size_t>(j)];
}

}  // namespace

int moveFocus(const std::vector<PaintedArea>& all, int current, Move move) {
    std::vector<PaintedArea> areas;
    std::copy_if(all.begin(), all.end(), std::back_inserter(areas),
                 [](const PaintedArea& a) { return a.focusable; });
    if (areas.empty()) return -1;
    switch (move) {
        case Move::NextGroup:
            return moveGroup(areas, current, true);
        case Move::PreviousGroup:
            return moveGroup(areas, current, false);
        default:
            return moveWithin(areas, current, move);
    }
}

void drawFocusMark(QPainter& p, const QRect& rect) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    // Two rings, so the mark shows on light and dark images alike.
    p.setPen(QPen(theme::kWindow, 1));
    p.drawRect(rect.adjusted(-3, -3, 2, 2));
    p.setPen(QPen(theme::kFocus, 2));
    p.drawRect(rect.adjusted(-2, -2, 1, 1));
    p.restore();
}

// ---- The accessible side.

namespace {

AccessibleEventObserver g_observer = nullptr;
// The window taking the focus quietly just now (see focusWindowQuietly).
const QWidget* g_quietWindow = nullptr;

void tell(QAccessibleEvent* e) {
    if (g_observer != nullptr) g_observer(e);
    QAccessible::updateAccessibility(e);
}

constexpr char kSpeaksForProperty[] = "tessaronAreaSpeaksFor";

// The areas directly inside `parent` (-1: the window), in list order.
std::vector<const PaintedArea*> areasIn(const std::vector<PaintedArea>& areas, int parent) {
    std::vector<const PaintedArea*> out;
    for (const PaintedArea& a : areas) {
        if (a.parent == parent) out.push_back(&a);
    }
    return out;
}

// The painted window a widget lies in, and its source; null when there is none.
std::pair<QWidget*, PaintedAreaSource*> paintedWindowOf(QWidget* widget) {
    for (QWidget* w = widget->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* source = dynamic_cast<PaintedAreaSource*>(w)) return {w, source};
    }
    return {nullptr, nullptr};
}

class AccessiblePaintedWindow;
AccessiblePaintedWindow* windowInterface(QWidget* window);

// One painted area. Holds no copy of it: every question reads the window's list again, so what
// a reader hears is what is painted now. An area speaking for a widget is found by the widget.
class AccessibleArea final : public QAccessibleInterface,
                             public QAccessibleActionInterface,
                             public QAccessibleTextInterface,
                             public QAccessibleValueInterface {
public:
    AccessibleArea(QWidget* window, PaintedAreaSource* source, int id, QWidget* speaksFor)
        : window_(window), source_(source), id_(id), speaksFor_(speaksFor) {}

    [[nodiscard]] std::optional<PaintedArea> area() const {
        if (!window_ || !isLive(source_)) return std::nullopt;
        if (speaksFor_.isNull() && id_ < 0) return std::nullopt;
        // Qt asks about a widget while its window is still being built (its first changes
        // raise events): the window answers for it once it is shown.
        if (speaksFor_ && !window_->isVisible()) return std::nullopt;
        for (PaintedArea& a : source_->paintedAreas()) {
            if (speaksFor_ ? a.speaksFor == speaksFor_.data() : a.id == id_) return std::move(a);
        }
        return std::nullopt;
    }

    bool isValid() const override { return window_ && area().has_value(); }
    QObject* object() const override { return speaksFor_.data(); }
    QWindow* window() const override {
        return window_ ? window_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface* c = child(i);
            if (c != nullptr && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override {
        const auto a = area();
        if (!a || !isLive(source_)) return 0;
        return static_cast<int>(areasIn(source_->paintedAreas(), a->id).size());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; child != nullptr && i < childCount(); ++i) {
            if (this->child(i) == child) return i;
        }
        return -1;
    }

    QString text(QAccessible::Text t) const override {
        const auto a = area();
        if (!a) return {};
        switch (t) {
            case QAccessible::Name:
                return a->name;
            case QAccessible::Description:
                return a->description;
            case QAccessible::Value:
                return a->value;
            default:
                return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        const auto a = area();
        if (!a) return {};
        return {window_->mapToGlobal(a->rect.topLeft()), a->rect.size()};
    }
    QAccessible::Role role() const override {
        const auto a = area();
        return a ? a->role : QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        const auto a = area();
        if (!a) {
            s.invalid = true;
            return s;
        }
        s = a->state;
        s.focusable = a->focusable;
        s.focused = (window_->hasFocus() && source_->focusedPaintedArea() == a->id) ||
                    (speaksFor_ && speaksFor_->hasFocus());
        if (!window_->isVisible()) s.invisible = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        switch (type) {
            case QAccessible::ActionInterface:
                return static_cast<QAccessibleActionInterface*>(this);
            case QAccessible::TextInterface:
                return hasText() ? static_cast<QAccessibleTextInterface*>(this) : nullptr;
            case QAccessible::ValueInterface:
                return slider() != nullptr ? static_cast<QAccessibleValueInterface*>(this)
                                           : nullptr;
            default:
                return nullptr;
        }
    }

    QStringList actionNames() const override {
        const auto a = area();
        if (!a || !a->activatable || a->state.disabled) return {};
        QStringList names{pressAction()};
        if (a->role == QAccessible::CheckBox || a->role == QAccessible::RadioButton) {
            names << toggleAction();
        }
        return names;
    }
    void doAction(const QString& name) override {
        const auto a = area();
        if (!a || !actionNames().contains(name)) return;
        // Later, never inside the reader's call: the action may open a modal window.
        QPointer<QWidget> window = window_;
        PaintedAreaSource* source = source_;
        const int id = a->id;
        QTimer::singleShot(0, window, [window, source, id] {
            if (window && isLive(source)) source->activatePaintedArea(id);
        });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The text of a field or a combo box: its value, read only.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override {
        return text(QAccessible::Value).mid(start, end - start);
    }
    int characterCount() const override {
        return static_cast<int>(text(QAccessible::Value).size());
    }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // A slider's value, in the numbers its positions stand for.
    QVariant currentValue() const override {
        QAbstractSlider* s = slider();
        return s != nullptr ? number(s->value()) : 0.0;
    }
    void setCurrentValue(const QVariant& value) override {
        QAbstractSlider* s = slider();
        if (s == nullptr) return;
        const double wanted = value.toDouble();
        int best = s->minimum();
        for (int v = s->minimum(); v <= s->maximum(); ++v) {
            if (std::abs(number(v) - wanted) < std::abs(number(best) - wanted)) best = v;
        }
        s->setValue(best);
    }
    QVariant maximumValue() const override {
        QAbstractSlider* s = slider();
        return s != nullptr ? number(s->maximum()) : 0.0;
    }
    QVariant minimumValue() const override {
        QAbstractSlider* s = slider();
        return s != nullptr ? number(s->minimum()) : 0.0;
    }
    QVariant minimumStepSize() const override { return 1.0; }

private:
    [[nodiscard]] bool hasText() const {
        const auto a = area();
        return a && (a->role == QAccessible::ComboBox || a->role == QAccessible::EditableText ||
                     (!a->value.isEmpty() && a->role != QAccessible::Slider));
    }
    [[nodiscard]] QAbstractSlider* slider() const {
        return qobject_cast<QAbstractSlider*>(speaksFor_.data());
    }
    [[nodiscard]] double number(int position) const {
        const auto a = area();
        if (!a || a->steps.empty()) return position;
        const int i =
            std::clamp(position - slider()->minimum(), 0, static_cast<int>(a->steps.size()) - 1);
        return a->steps[static_cast<std::size_t>(i)];
    }

    QPointer<QWidget> window_;
    PaintedAreaSource* source_;
    int id_;  // -1 for an area found by the widget it speaks for
    QPointer<QWidget> speaksFor_;
};

// What was last told about an area, to raise events for what changed at the next paint.
struct Told {
    QString name;
    QString description;
    QString value;
    QAccessible::State state;
};

class PaintWatcher final : public QObject {
public:
    PaintWatcher(QWidget* window, AccessiblePaintedWindow* owner) : QObject(window), owner_(owner) {
        window->installEventFilter(this);
    }
    void forget() { owner_ = nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AccessiblePaintedWindow* owner_;
};

class AccessiblePaintedWindow final : public QAccessibleWidget {
public:
    AccessiblePaintedWindow(QWidget* w, PaintedAreaSource* source)
        : QAccessibleWidget(w, w->inherits("QDialog") ? QAccessible::Dialog : QAccessible::Window),
          source_(source),
          watcher_(new PaintWatcher(w, this)) {}
    AccessiblePaintedWindow(const AccessiblePaintedWindow&) = delete;
    AccessiblePaintedWindow& operator=(const AccessiblePaintedWindow&) = delete;

    ~AccessiblePaintedWindow() override {
        if (watcher_) watcher_->forget();
        for (const auto& [area, id] : children_) QAccessible::deleteAccessibleInterface(id);
    }

    // No object for the moment it takes the focus quietly, so that Qt's focus event for it
    // reaches no reader.
    bool isValid() const override {
        return widget() != g_quietWindow && QAccessibleWidget::isValid();
    }

    int childCount() const override { return static_cast<int>(areasIn(areas(), -1).size()); }

    QAccessibleInterface* child(int index) const override {
        const auto areas = this->areas();
        const auto top = areasIn(areas, -1);
        if (index < 0 || index >= static_cast<int>(top.size())) return nullptr;
        return childFor(*top[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) return -1;
        const auto areas = this->areas();
        const auto top = areasIn(areas, -1);
        for (std::size_t i = 0; i < top.size(); ++i) {
            if (interfaceIfExists(*top[i]) == child) return static_cast<int>(i);
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        const auto areas = this->areas();
        // The last listed is drawn last (an open list over the panel).
        const auto top = areasIn(areas, -1);
        for (auto it = top.rbegin(); it != top.rend(); ++it) {
            if ((*it)->rect.contains(at)) return childFor(**it);
        }
        return nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        if (QWidget* f = widget()->focusWidget(); f != nullptr && f != widget()) {
            return QAccessible::queryAccessibleInterface(f);
        }
        if (!isLive(source_)) return nullptr;
        const int id = source_->focusedPaintedArea();
        const auto areas = this->areas();
        if (const PaintedArea* a = findArea(areas, id)) return childFor(*a);
        return nullptr;
    }

    // Nothing once the window is no longer whole.
    [[nodiscard]] std::vector<PaintedArea> areas() const {
        return isLive(source_) ? source_->paintedAreas() : std::vector<PaintedArea>{};
    }

    QAccessibleInterface* childFor(const PaintedArea& a) const {
        if (a.widget != nullptr) return QAccessible::queryAccessibleInterface(a.widget);
        if (a.speaksFor != nullptr) return QAccessible::queryAccessibleInterface(a.speaksFor);
        if (auto* existing = childIfExists(a.id)) return existing;
        auto* made = new AccessibleArea(widget(), source_, a.id, nullptr);
        children_[a.id] = QAccessible::registerAccessibleInterface(made);
        return made;
    }

    // The interface a reader already holds for the area, or null; none is made.
    QAccessibleInterface* interfaceIfExists(const PaintedArea& a) const {
        if (a.widget != nullptr) return QAccessible::queryAccessibleInterface(a.widget);
        if (a.speaksFor != nullptr) return QAccessible::queryAccessibleInterface(a.speaksFor);
        return childIfExists(a.id);
    }

    QAccessibleInterface* childIfExists(int id) const {
        const auto it = children_.find(id);
        return it == children_.end() ? nullptr : QAccessible::accessibleInterface(it->second);
    }

    // After a paint: events for every change since the last one.
    void tellChanges() {
        if (!isLive(source_)) return;
        const auto areas = this->areas();
        std::map<int, Told> now;
        std::set<int> reordered;  // the areas (-1: the window) whose children changed
        for (const PaintedArea& a : areas) {
            Told t{a.name, a.description, a.value, a.state};
            const auto was = told_.find(a.id);
            if (was == told_.end()) {
                reordered.insert(a.parent);
            } else if (QAccessibleInterface* iface =
                           a.widget != nullptr ? nullptr : interfaceIfExists(a)) {
                tellChange(a, was->second, t, iface);
            }
            now.emplace(a.id, std::move(t));
        }
        for (const auto& [id, old] : told_) {
            if (now.count(id) == 0) reordered.insert(-1);
        }
        if (!told_.empty()) {
            for (const int parent : reordered) {
                const PaintedArea* p = findArea(areas, parent);
                QAccessibleInterface* iface =
                    p != nullptr ? interfaceIfExists(*p) : static_cast<QAccessibleInterface*>(this);
                if (iface == nullptr) continue;
                QAccessibleEvent e(iface, QAccessible::ObjectReorder);
                tell(&e);
            }
        }
        told_ = std::move(now);
    }

private:
    static void tellChange(const PaintedArea& a, const Told& old, const Told& t,
                           QAccessibleInterface* iface) {
        if (old.name != t.name) {
            QAccessibleEvent e(iface, QAccessible::NameChanged);
            tell(&e);
        }
        if (old.description != t.description) {
            QAccessibleEvent e(iface, QAccessible::DescriptionChanged);
            tell(&e);
        }
        // A widget spoken for tells a reader of its own changes (a field's text, a slider's
        // value); the observer hears of a slider's from here.
        const bool own =
            a.speaksFor != nullptr && (a.role != QAccessible::Slider || QAccessible::isActive());
        if (old.value != t.value && !own) {
            if (iface->textInterface() != nullptr && a.role != QAccessible::ComboBox) {
                QAccessibleTextUpdateEvent e(iface, 0, old.value, t.value);
                tell(&e);
            } else {
                QAccessibleValueChangeEvent e(iface, t.value);
                tell(&e);
            }
        }
        QAccessible::State changed;
        changed.checked = old.state.checked != t.state.checked;
        changed.expanded = old.state.expanded != t.state.expanded;
        changed.collapsed = old.state.collapsed != t.state.collapsed;
        changed.selected = old.state.selected != t.state.selected;
        changed.disabled = old.state.disabled != t.state.disabled;
        if (changed.checked || changed.expanded || changed.collapsed || changed.selected ||
            changed.disabled) {
            QAccessibleStateChangeEvent e(iface, changed);
            tell(&e);
        }
        if (changed.selected) {
            // AT-SPI hears of selection through these.
            QAccessibleEvent e(
                iface, t.state.selected ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
            tell(&e);
        }
    }

    PaintedAreaSource* source_;
    QPointer<PaintWatcher> watcher_;  // a child of the window: it may go first
    mutable std::map<int, QAccessible::Id> children_;
    std::map<int, Told> told_;
};

AccessiblePaintedWindow* windowInterface(QWidget* window) {
    return window == nullptr ? nullptr
                             : dynamic_cast<AccessiblePaintedWindow*>(
                                   QAccessible::queryAccessibleInterface(window));
}

QAccessibleInterface* AccessibleArea::parent() const {
    AccessiblePaintedWindow* w = windowInterface(window_.data());
    const auto a = area();
    if (w == nullptr || !a || a->parent < 0) return w;
    const auto areas = w->areas();
    const PaintedArea* p = findArea(areas, a->parent);
    return p != nullptr ? w->childFor(*p) : w;
}

QAccessibleInterface* AccessibleArea::child(int index) const {
    AccessiblePaintedWindow* w = windowInterface(window_.data());
    const auto a = area();
    if (w == nullptr || !a) return nullptr;
    const auto areas = w->areas();
    const auto inside = areasIn(areas, a->id);
    if (index < 0 || index >= static_cast<int>(inside.size())) return nullptr;
    return w->childFor(*inside[static_cast<std::size_t>(index)]);
}

bool PaintWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (owner_ != nullptr && event->type() == QEvent::Paint) owner_->tellChanges();
    return QObject::eventFilter(watched, event);
}

QAccessibleInterface* paintedFactory(const QString& /*key*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) return nullptr;
    if (widget->property(kSpeaksForProperty).toBool()) {
        const auto [window, source] = paintedWindowOf(widget);
        if (window == nullptr) return nullptr;
        return new AccessibleArea(window, source, -1, widget);
    }
    auto* source = dynamic_cast<PaintedAreaSource*>(widget);
    if (source == nullptr) return nullptr;
    return new AccessiblePaintedWindow(widget, source);
}

}  // namespace

void observeAccessibleEvents(AccessibleEventObserver observer) {
    g_observer = observer;
}

void installPaintedAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(&paintedFactory);
}

void speakFor(QWidget* widget) {
    installPaintedAccessibility();
    widget->setProperty(kSpeaksForProperty, true);
}

void focusWindowQuietly(QWidget* window) {
    g_quietWindow = window;
    window->setFocus(Qt::TabFocusReason);
    g_quietWindow = nullptr;
}

namespace {

void tellOfArea(QWidget* window, int areaId, std::initializer_list<QAccessible::Event> types) {
    if ((!QAccessible::isActive() && g_observer == nullptr) || window == nullptr) return;
    AccessiblePaintedWindow* iface = windowInterface(window);
    if (iface == nullptr) return;
    const auto areas = iface->areas();
    const PaintedArea* a = findArea(areas, areaId);
    // A widget of its own tells of itself.
    if (a == nullptr || a->widget != nullptr) return;
    for (const QAccessible::Event type : types) {
        QAccessibleEvent e(iface->childFor(*a), type);
        tell(&e);
    }
}

}  // namespace

void announcePaintedFocus(QWidget* window, int areaId) {
    tellOfArea(window, areaId, {QAccessible::Focus});
}

void announcePaintedAlert(QWidget* window, int areaId) {
    // Shown, then alerted: readers speak an alert's name when it appears.
    tellOfArea(window, areaId, {QAccessible::ObjectShow, QAccessible::Alert});
}

}  // namespace tessaron::ui
