#include "saver/saver_wnd.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "music/music_player.h"
#include "saver/fallback_paint.h"
#include "render/dx_graphics.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QScreen>

#include <xcb/xproto.h>

namespace {
// A close request of the program itself (the stand-in for a posted WM_CLOSE).
const QEvent::Type kCloseRequest = static_cast<QEvent::Type>(QEvent::registerEventType());

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
} // namespace

CSaverWnd::CSaverWnd(CSaverSettings& settings)
    : settings_(settings),
      pointer_([] { QGuiApplication::setOverrideCursor(Qt::BlankCursor); },
               [] { QGuiApplication::restoreOverrideCursor(); }),
      power_(settings.EnableMonitorOff != 0),
      exit_(ExitSettingsOf(settings), true, GetTickCount32(),
            {[this] { power_.SetMonitorOn(); }, [] { CloseAllSaverWindows(); },
             [this](bool dialogUp) { UpdatePointerShape(dialogUp); }},
            pointer_),
      loop_({[this] { ScrInit(); }, [this] { return RendererCreated(); },
             [this] { renderer_->RenderFrame(); },
             [this] { return music_ != nullptr; },
             [this] { music_->Supervise(); }})
{
    setSurfaceType(QSurface::OpenGLSurface);
    RegisterPreviewPicture();
}

CSaverWnd::~CSaverWnd()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    if (!tornDown_) {
        Cleanup();
        if (renderer_)
            renderer_->CloseDX();
    }
    renderer_.reset();
    fallback_.reset();
    music_.reset();
    destroy();
    // The host window is our QObject parent: leave it before it goes.
    if (host_)
        setParent(static_cast<QWindow*>(nullptr));
}

bool CSaverWnd::CreateSaverWindow(long parent, const Rect* monitor)
{
    QRect geometry;
    if (parent) {
        std::optional<Rect> client = x11_.ClientRect(static_cast<unsigned long>(parent));
        if (parent < 0 || !client)
            return false;
        hasParent_ = true;
        parentId_ = static_cast<unsigned long>(parent);
        host_.reset(QWindow::fromWinId(static_cast<WId>(parent)));
        if (!host_)
            return false;
        setParent(host_.get());
        qreal ratio = host_->devicePixelRatio();
        geometry = QRect(0, 0, int(client->Width() / ratio), int(client->Height() / ratio));
        // The root window as host ("-root"): the show covers the screen outside
        // the window manager's control, like a top-level show.
        if (parentId_ == x11_.RootWindowId())
            setFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    } else {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (monitor) {
            QRect wanted = ToQRect(*monitor);
            for (QScreen* s : QGuiApplication::screens()) {
                qreal r = s->devicePixelRatio();
                QRect g = s->geometry();
                if (QRect(g.topLeft() * r, g.size() * r) == wanted)
                    screen = s;
            }
        }
        if (!screen)
            return false;
        setScreen(screen);
        qreal ratio = screen->devicePixelRatio();
        geometry = monitor ? QRect(QPoint(int(monitor->left / ratio), int(monitor->top / ratio)),
                                   QSize(int(monitor->Width() / ratio), int(monitor->Height() / ratio)))
                           : screen->geometry();
        // Above every other window and outside the window manager's control.
        setFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint);
        setCursor(Qt::BlankCursor);
    }
    exit_.SetTopLevel(!hasParent_);
    setGeometry(geometry);
    create();
    if (!handle())
        return false;
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Keys that reach another window of this process (a dialog's owner, for
    // one) still count as exit events; the first window takes them.
    if (!noSounds_)
        QCoreApplication::instance()->installEventFilter(this);
    show();
    timer_.start(FrameLoop::kTimerPeriod, Qt::PreciseTimer, this);
    // No system flag stands for a running saver here; the line keeps the log's shape.
    Log("SPI_SETSCREENSAVERRUNNING, previous state=0x%x", 0u);
    return true;
}

void CSaverWnd::PostClose() { QCoreApplication::postEvent(this, new QEvent(kCloseRequest)); }

void CSaverWnd::TakeFocus()
{
    requestActivate();
    // A top-level show owns the keyboard, so no key reaches the desktop underneath.
    if (!hasParent_ && !preview_)
        setKeyboardGrabEnabled(true);
}

bool CSaverWnd::RendererCreated() const { return renderer_ && renderer_->IsCreated(); }

QPoint CSaverWnd::DevicePosition(QPointF logical) const
{
    return (logical * devicePixelRatio()).toPoint();
}

bool CSaverWnd::event(QEvent* e)
{
    if (e->type() == kCloseRequest) {
        OnCloseRequest();
        return true;
    }
    switch (e->type()) {
    case QEvent::Close:
        // From the window manager or another program: the same rule as our own request.
        e->ignore();
        OnCloseRequest();
        return true;
    case QEvent::Enter: {
        // The pointer position when the window appears under it is the first position.
        QPoint p = DevicePosition(static_cast<QEnterEvent*>(e)->position());
        exit_.MouseMove(p.x(), p.y(), GetTickCount32());
        return true;
    }
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        return true;
    case QEvent::UpdateRequest:
        Paint();
        return true;
    default:
        return QWindow::event(e);
    }
}

void CSaverWnd::exposeEvent(QExposeEvent*)
{
    if (isExposed())
        Paint();
}

void CSaverWnd::timerEvent(QTimerEvent* e)
{
    if (e->timerId() != timer_.timerId()) {
        QWindow::timerEvent(e);
        return;
    }
    TickCount now = GetTickCount32();
    loop_.Tick({exit_.Exiting(), exit_.Busy(), power_.Off()}, now);
    if (loop_.Initialised() && !exit_.Exiting() && ++systemTicks_ % FrameLoop::kMusicEvery == 0)
        PollSystem();
}

void CSaverWnd::mouseMoveEvent(QMouseEvent* e)
{
    QPoint p = DevicePosition(e->position());
    exit_.MouseMove(p.x(), p.y(), GetTickCount32());
}

void CSaverWnd::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton || e->button() == Qt::MiddleButton || e->button() == Qt::RightButton)
        exit_.ButtonDown(GetTickCount32());
}

void CSaverWnd::keyPressEvent(QKeyEvent* e)
{
    exit_.KeyDown(GetTickCount32());
    // Keys that do not end the show work it like a photo frame.
    if (!settings_.ExitKClick && !preview_ && loop_.Initialised() && !exit_.Busy() && !exit_.Exiting())
        FrameKey(*e);
}

void CSaverWnd::FrameKey(const QKeyEvent& e)
{
    enum class Action { Next, Previous, Pause };
    Action action;
    switch (e.key()) {
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        action = Action::Next;
        break;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        action = Action::Previous;
        break;
    case Qt::Key_P:
    case Qt::Key_Space:
        action = Action::Pause;
        break;
    default:
        return;
    }
    // A held key acts once; combinations with Ctrl or Alt are not these keys.
    if (e.isAutoRepeat() || (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return;

    // Every monitor's show follows the key, so that they stay alike.
    std::vector<DXGraphics*> shows;
    for (const auto& w : TheApp().saverWindows)
        if (auto* wnd = dynamic_cast<CSaverWnd*>(w.get()); wnd && wnd->RendererCreated())
            shows.push_back(wnd->renderer_.get());
    if (shows.empty() && RendererCreated())
        shows.push_back(renderer_.get());
    if (shows.empty())
        return;

    const std::string name = QKeySequence(e.key()).toString().toStdString();
    if (action == Action::Pause) {
        const bool pause = !shows.front()->Paused();
        for (DXGraphics* show : shows)
            show->SetPaused(pause);
        Log("OnKeyDown: %s, show %s", name.c_str(), pause ? "paused" : "resumed");
        return;
    }
    int asked = 0, noneEarlier = 0;
    for (DXGraphics* show : shows) {
        const PhotoAsk answer = action == Action::Next ? show->ShowNextPhoto() : show->ShowPreviousPhoto();
        asked += answer == PhotoAsk::Asked ? 1 : 0;
        noneEarlier += answer == PhotoAsk::NoneEarlier ? 1 : 0;
    }
    if (asked)
        Log("OnKeyDown: %s, %s", name.c_str(), action == Action::Next ? "next photo now" : "previous photo again");
    else if (noneEarlier)
        Log("OnKeyDown: %s, no earlier photo to show", name.c_str());
    else
        Log("OnKeyDown: %s, ignored: %d photos asked for are still on their way", name.c_str(), int(kMaxRequests));
}

bool CSaverWnd::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::KeyPress && watched != this && watched->isWindowType() &&
        !qobject_cast<CSaverWnd*>(watched) && !QGuiApplication::modalWindow()) {
        exit_.KeyDown(GetTickCount32());
        return true;
    }
    return false;
}

bool CSaverWnd::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (tornDown_ || type != "xcb_generic_event_t" || !handle())
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
        return false;
    auto* destroyed = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
    // The host destroyed its window, and ours with it: the show inside it ends.
    if (hasParent_ && (destroyed->window == winId() || destroyed->window == parentId_)) {
        Log("CSaverWnd: host window closed");
        QMetaObject::invokeMethod(this, [this] { Teardown(); }, Qt::QueuedConnection);
    }
    return false;
}
