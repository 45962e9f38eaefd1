// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/qt/QtBackend.h"

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>

#include "dialogs/Dialog.h"
#include "dialogs/DialogTemplate.h"

namespace gw::dlg {

namespace {

// Pixels per 4 horizontal and per 8 vertical dialog units of a font: the average
// width of the 52 letters and the character height. The width is kept exact: the
// platform rounds it to whole pixels, which with wider fonts than the templates
// were drawn for cuts labels that just fit.
struct BaseUnits {
    double x;
    int y;
};

BaseUnits baseUnits(const QFont& font) {
    const QFontMetricsF fm(font);
    const QFontMetrics whole(font);
    return {fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0,
            whole.height()};
}

// A rectangle in dialog units in pixels: its edges are converted, so that
// controls that meet in dialog units meet in pixels.
QRect toPixels(const BaseUnits& bu, int x, int y, int w, int h) {
    auto horizontal = [&bu](int du) { return qRound(du * bu.x / 4.0); };
    auto vertical = [&bu](int du) { return qRound(du * bu.y / 8.0); };
    const int left = horizontal(x);
    const int top = vertical(y);
    return QRect(left, top, horizontal(x + w) - left, vertical(y + h) - top);
}

bool isRadio(ControlKind k) { return k == ControlKind::radioFirst || k == ControlKind::radio; }

bool takesFocus(ControlKind k) {
    return k == ControlKind::edit || k == ControlKind::pushButton || k == ControlKind::defPushButton ||
           isRadio(k) || k == ControlKind::dropList;
}

// True when text has a mnemonic (an '&' that is not part of "&&").
bool hasMnemonic(const char* text) {
    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        if (*p != '&') continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        if (p[1] != '\0') return true;
    }
    return false;
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A label one line high shows its text on that line: the platform would wrap a
// text wider than the label onto a line it has no room for, so a font wider than
// the template's would lose words. Such a label grows to the right, over the gap
// beside it (the control that follows is drawn over it), at most to the window's
// edge; a label with room for more lines wraps as the platform's do.
void fitLabel(QLabel& label, const QRect& r, int windowWidth) {
    const QFontMetrics fm(label.font());
    if (r.height() >= 2 * fm.height()) {
        label.setWordWrap(true);
        label.setGeometry(r);
        return;
    }
    label.setWordWrap(false);
    const int needed = fm.horizontalAdvance(label.text()) + 1;
    label.setGeometry(r.x(), r.y(), std::max(r.width(), std::min(needed, windowWidth - r.x())), r.height());
}

// The dialog's calls. Its class lives in libgridwise, whose type information this
// library does not link, so the sanitizer's check of the dynamic type (which
// needs it) is left out of these calls alone.
#define GW_CALL_INTO_LIBRARY __attribute__((no_sanitize("vptr")))
GW_CALL_INTO_LIBRARY void initialise(Dialog& d, DialogWindow& w) { d.initDialog(w); }
GW_CALL_INTO_LIBRARY void command(Dialog& d, int id) { d.command(id); }
GW_CALL_INTO_LIBRARY void selectionChanged(Dialog& d, int id) { d.selectionChanged(id); }
GW_CALL_INTO_LIBRARY void helpRequest(Dialog& d) { d.helpRequest(); }
#undef GW_CALL_INTO_LIBRARY

// A message box whose text would make it higher than about two thirds of the
// screen shows the text in a scrolling area of that height instead (a label of
// its own: the box's label is left out of its layout).
void scrollLongText(QMessageBox& box) {
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    QScreen* screen = box.screen() != nullptr ? box.screen() : QGuiApplication::primaryScreen();
    if (label == nullptr || grid == nullptr || screen == nullptr) return;
    const QRect avail = screen->availableGeometry();
    // The box wraps its text narrower than this area; the test for a text too
    // high takes the narrower width, so that a box without the area fits too.
    const int avg = label->fontMetrics().averageCharWidth();
    const int width = std::min(std::max(avg * 80, 400), avail.width() * 2 / 3);
    const int narrow = std::min(avg * 60, width);
    const int limit = avail.height() * 2 / 3;
    auto* text = new QLabel(box.text());
    text->setObjectName(QStringLiteral("messageText"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (text->heightForWidth(narrow) <= limit) {
        delete text;
        return;
    }
    auto* area = new QScrollArea(&box);
    area->setObjectName(QStringLiteral("messageScroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFocusPolicy(Qt::NoFocus);
    area->setFixedSize(width + area->verticalScrollBar()->sizeHint().width(), limit);
    area->setWidget(text);
    delete grid->replaceWidget(label, area);
    label->hide();
}

class QtWindow final : public QDialog, public DialogWindow {
public:
    QtWindow(Dialog& dialog, const DialogTemplate& t, QWidget* parent);

    std::string text(int id) const override;
    void setText(int id, const std::string& text) override;
    bool checked(int id) const override;
    void setChecked(int id, bool on) override;
    void resetList(int id) override;
    int addItem(int id, const std::string& text) override;
    int itemCount(int id) const override;
    std::string itemText(int id, int index) const override;
    int selection(int id) const override;
    void select(int id, int index) override;
    void close(int result) override;
    void messageBox(const std::string& caption, const std::string& text) override;
    void setFocus(int id) override;
    void* handle() override { return static_cast<QWidget*>(this); }

    // Runs the window modally; a dialog that closed while it was initialised is
    // not shown.
    int run();

protected:
    // Escape, the window's close button and reject() all are Cancel, which the
    // dialog answers (its Cancel handler closes the window).
    void reject() override { command(dialog_, idCancel); }

private:
    QWidget* widget(int id) const {
        auto it = controls_.find(id);
        return it != controls_.end() ? it->second : nullptr;
    }
    template <class W> W* as(int id) const { return qobject_cast<W*>(widget(id)); }
    void updateTabStop(QButtonGroup* group);

    Dialog& dialog_;
    std::map<int, QWidget*> controls_;
    std::map<QLabel*, QRect> labelRects_; // labels in their template rectangles
    // The bytes last given to each edit field and the text Qt made of them: a
    // field the user left as it was gives back those bytes, even when they were
    // not UTF-8 (a name in a settings file written in another code page).
    std::map<int, std::pair<QString, std::string>> editTexts_;
    std::map<int, QButtonGroup*> groups_; // radio id -> its group
    std::vector<QButtonGroup*> allGroups_;
    bool running_ = false;
    int earlyResult_ = 0;
};

QtWindow::QtWindow(Dialog& dialog, const DialogTemplate& t, QWidget* parent) : QDialog(parent), dialog_(dialog) {
    setObjectName(QStringLiteral("dialog%1").arg(t.id));
    setWindowTitle(QString::fromUtf8(t.caption != nullptr ? t.caption : ""));
    const BaseUnits bu = baseUnits(font());
    const QRect client = toPixels(bu, 0, 0, t.width, t.height);
    setFixedSize(client.size());

    QButtonGroup* group = nullptr;
    std::vector<QGroupBox*> frames;
    std::vector<std::pair<QLabel*, std::size_t>> mnemonicLabels;
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const ControlTemplate& c = t.controls[i];
        const QString label = QString::fromUtf8(c.label != nullptr ? c.label : "");
        const QRect r = toPixels(bu, c.x, c.y, c.width, c.height);
        const int id = c.id;
        QWidget* w = nullptr;
        if (!isRadio(c.kind)) group = nullptr;
        switch (c.kind) {
        case ControlKind::edit: {
            auto* e = new QLineEdit(this);
            e->setText(label);
            w = e;
            break;
        }
        case ControlKind::staticText: {
            auto* l = new QLabel(label, this);
            l->setTextFormat(Qt::PlainText);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            if (hasMnemonic(c.label)) mnemonicLabels.emplace_back(l, i);
            w = l;
            break;
        }
        case ControlKind::groupBox: {
            auto* g = new QGroupBox(label, this);
            g->setFocusPolicy(Qt::NoFocus);
            g->setAttribute(Qt::WA_TransparentForMouseEvents);
            frames.push_back(g);
            w = g;
            break;
        }
        case ControlKind::pushButton:
        case ControlKind::defPushButton: {
            auto* b = new QPushButton(label, this);
            b->setAutoDefault(true);
            b->setDefault(c.kind == ControlKind::defPushButton);
            if (id >= 0) connect(b, &QPushButton::clicked, this, [this, id] { command(dialog_, id); });
            w = b;
            break;
        }
        case ControlKind::radioFirst:
        case ControlKind::radio: {
            auto* b = new QRadioButton(label, this);
            if (c.kind == ControlKind::radioFirst || group == nullptr) {
                group = new QButtonGroup(this);
                group->setExclusive(true);
                allGroups_.push_back(group);
                connect(group, &QButtonGroup::buttonToggled, this, [this, group] { updateTabStop(group); });
            }
            group->addButton(b);
            if (id >= 0) {
                groups_[id] = group;
                connect(b, &QRadioButton::clicked, this, [this, id] { command(dialog_, id); });
            }
            w = b;
            break;
        }
        case ControlKind::dropList: {
            auto* box = new QComboBox(this);
            box->setEditable(false);
            box->setInsertPolicy(QComboBox::NoInsert);
            // The template's height is that of the dropped list; the closed box is
            // as high as the font makes it.
            const int closed = box->sizeHint().height();
            const int itemHeight = std::max(1, QFontMetrics(box->font()).height());
            box->setMaxVisibleItems(std::max(1, (r.height() - closed) / itemHeight));
            if (id >= 0) connect(box, &QComboBox::activated, this, [this, id] { selectionChanged(dialog_, id); });
            w = box;
            w->setGeometry(r.x(), r.y(), r.width(), closed);
            break;
        }
        }
        if (w == nullptr) continue;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            labelRects_[l] = r;
            fitLabel(*l, r, width());
        } else if (c.kind != ControlKind::dropList) {
            w->setGeometry(r);
        }
        if (id >= 0) {
            w->setObjectName(QStringLiteral("c%1").arg(id));
            controls_.emplace(id, w);
        }
    }
    // A label's mnemonic moves the focus to the next control that takes it.
    for (auto [label, index] : mnemonicLabels) {
        for (std::size_t k = index + 1; k < t.controls.size(); ++k) {
            const ControlTemplate& next = t.controls[k];
            if (!takesFocus(next.kind)) continue;
            auto it = controls_.find(next.id);
            if (it != controls_.end()) label->setBuddy(it->second);
            break;
        }
    }
    // Frames lie behind the controls they surround, whatever their place in the
    // template.
    for (QGroupBox* g : frames) g->lower();
    for (QButtonGroup* g : allGroups_) updateTabStop(g);

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] { helpRequest(dialog_); });
}

std::string QtWindow::text(int id) const {
    QWidget* w = widget(id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        auto it = editTexts_.find(id);
        if (it != editTexts_.end() && it->second.first == e->text()) return it->second.second;
        return e->text().toStdString();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().toStdString();
    if (auto* box = qobject_cast<QComboBox*>(w)) return box->currentIndex() >= 0 ? box->currentText().toStdString() : "";
    return {};
}

void QtWindow::setText(int id, const std::string& text) {
    QWidget* w = widget(id);
    const QString s = fromUtf8(text);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(s);
        e->setCursorPosition(0);
        editTexts_[id] = {e->text(), text};
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(s);
        fitLabel(*l, labelRects_[l], width());
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(s);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(s);
    }
}

bool QtWindow::checked(int id) const {
    auto* b = as<QRadioButton>(id);
    return b != nullptr && b->isChecked();
}

void QtWindow::setChecked(int id, bool on) {
    auto* b = as<QRadioButton>(id);
    if (b == nullptr || b->isChecked() == on) return;
    // An exclusive group keeps one button checked; unchecking the last one (no
    // choice, as data exchange may ask) needs the group loosened for a moment.
    QButtonGroup* group = groups_.count(id) != 0 ? groups_.at(id) : nullptr;
    const QSignalBlocker block(b);
    if (!on && group != nullptr) {
        group->setExclusive(false);
        b->setChecked(false);
        group->setExclusive(true);
    } else {
        b->setChecked(on);
    }
    if (group != nullptr) updateTabStop(group);
}

// Tab enters a radio group at its checked button (the first one when none is
// checked), as the platform's dialogs do; the arrow keys move within the group.
// The other buttons still take the focus when clicked.
void QtWindow::updateTabStop(QButtonGroup* group) {
    const QList<QAbstractButton*> buttons = group->buttons();
    if (buttons.isEmpty()) return;
    QAbstractButton* stop = buttons.front();
    for (QAbstractButton* b : buttons)
        if (b->isChecked()) {
            stop = b;
            break;
        }
    for (QAbstractButton* b : buttons) b->setFocusPolicy(b == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void QtWindow::resetList(int id) {
    if (auto* box = as<QComboBox>(id)) {
        const QSignalBlocker block(box);
        box->clear();
    }
}

int QtWindow::addItem(int id, const std::string& text) {
    auto* box = as<QComboBox>(id);
    if (box == nullptr) return -1;
    const QSignalBlocker block(box);
    const int before = box->currentIndex();
    box->addItem(fromUtf8(text));
    // Adding to an empty list selects nothing, as the platform's lists do.
    if (before < 0) box->setCurrentIndex(-1);
    return box->count() - 1;
}

int QtWindow::itemCount(int id) const {
    auto* box = as<QComboBox>(id);
    return box != nullptr ? box->count() : 0;
}

std::string QtWindow::itemText(int id, int index) const {
    auto* box = as<QComboBox>(id);
    if (box == nullptr || index < 0 || index >= box->count()) return {};
    return box->itemText(index).toStdString();
}

int QtWindow::selection(int id) const {
    auto* box = as<QComboBox>(id);
    return box != nullptr ? box->currentIndex() : -1;
}

void QtWindow::select(int id, int index) {
    auto* box = as<QComboBox>(id);
    if (box == nullptr) return;
    const QSignalBlocker block(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void QtWindow::close(int result) {
    if (running_)
        done(result);
    else if (earlyResult_ == 0)
        earlyResult_ = result;
}

// A message is a QMessageBox named "message", a child of this window (centred over
// it) and modal; its text is plain text, never markup. Enter and Escape dismiss
// it. Help ("Help" as caption) has the information icon, anything else the
// warning icon. A text too high for the screen scrolls inside the box. When the
// box is gone this window is made active again, so that the keyboard focus is
// back in it (where setFocus puts it).
void QtWindow::messageBox(const std::string& caption, const std::string& text) {
    const QMessageBox::Icon icon = caption == "Help" ? QMessageBox::Information : QMessageBox::Warning;
    QMessageBox box(icon, fromUtf8(caption), QString(), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("message"));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromUtf8(text));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    scrollLongText(box);
    box.exec();
    activateWindow();
}

void QtWindow::setFocus(int id) {
    QWidget* w = widget(id);
    if (w == nullptr) return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
}

int QtWindow::run() {
    if (earlyResult_ != 0) return earlyResult_;
    running_ = true;
    const int result = exec();
    running_ = false;
    // Anything that ends the run without a result of the dialog's is Cancel.
    return result != 0 ? result : idCancel;
}

// --- the application object ------------------------------------------------

bool nonEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr && *v != '\0';
}

bool platformPluginInstalled(const char* file) {
    return QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/") +
                         QString::fromLatin1(file));
}

// An X server answers on DISPLAY (asked through the X client library the Qt
// platform plugin uses itself, loaded only for the question).
bool xServerAnswers() {
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connectTo = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool ok = false;
    if (connectTo != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* c = connectTo(nullptr, nullptr);
        ok = c != nullptr && hasError(c) == 0;
        if (c != nullptr) disconnect(c);
    }
    dlclose(xcb);
    return ok;
}

// A Wayland compositor listens on WAYLAND_DISPLAY (a socket path, or a name in
// XDG_RUNTIME_DIR).
bool waylandAnswers() {
    std::string path = std::getenv("WAYLAND_DISPLAY");
    if (path.front() != '/') {
        if (!nonEmpty("XDG_RUNTIME_DIR")) return false;
        path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + path;
    }
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// The platform to start Qt on: "" for the one the user chose in QT_QPA_PLATFORM,
// or xcb or wayland when their server answers; null when there is no display (Qt
// would end the process when it cannot start its platform).
const char* choosePlatform() {
    if (nonEmpty("QT_QPA_PLATFORM")) return "";
    if (nonEmpty("DISPLAY") && platformPluginInstalled("libqxcb.so") && xServerAnswers()) return "xcb";
    if (nonEmpty("WAYLAND_DISPLAY") && platformPluginInstalled("libqwayland-generic.so") && waylandAnswers())
        return "wayland";
    return nullptr;
}

// The host's QApplication, or one made now and kept for the life of the process;
// null when there is no display or the host runs Qt without widgets.
QApplication* application() {
    if (QCoreApplication::instance() != nullptr) return qobject_cast<QApplication*>(QCoreApplication::instance());
    const char* platform = choosePlatform();
    if (platform == nullptr) return nullptr;
    static char name[] = "gridwise";
    static char option[] = "-platform";
    static std::string chosen;
    static char* argv[4] = {name, nullptr, nullptr, nullptr};
    static int argc = 1;
    if (*platform != '\0') {
        chosen = platform;
        argv[1] = option;
        argv[2] = chosen.data();
        argc = 3;
    }
    return new QApplication(argc, argv);
}

class QtBackend final : public DialogBackend {
public:
    int runModal(Dialog& dialog, const DialogTemplate& t, void* parent) override {
        if (application() == nullptr) return 0;
        QtWindow window(dialog, t, static_cast<QWidget*>(parent));
        initialise(dialog, window);
        return window.run();
    }
};

} // namespace

} // namespace gw::dlg

extern "C" gw::dlg::DialogBackend* gridwiseQtBackend() noexcept {
    static gw::dlg::QtBackend backend;
    return &backend;
}
