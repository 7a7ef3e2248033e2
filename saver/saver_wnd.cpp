#include "saver/saver_wnd.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "media/image_list.h"
#include "music/music_player.h"
#include "saver/fallback_paint.h"
#include "saver/no_files_message.h"
#include "saver/renderer.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <xcb/xproto.h>

#include <algorithm>

namespace {
// A close request of the program itself (the stand-in for a posted WM_CLOSE).
const QEvent::Type kCloseRequest = static_cast<QEvent::Type>(QEvent::registerEventType());

ExitSettings ExitSettingsOf(const CSaverSettings& s)
{
    return {s.ExitMMove != 0, s.ExitMClick != 0, s.ExitKClick != 0, s.HideCursor != 0};
}

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

void CSaverWnd::keyPressEvent(QKeyEvent*)
{
    exit_.KeyDown(GetTickCount32());
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

void CSaverWnd::ScrInit()
{
    loop_.MarkInitialised();
    Log("ScrInit: Window Size=%d,%d BitsPixel=%d", int(width() * devicePixelRatio()),
        int(height() * devicePixelRatio()), TheApp().screenDepthClass);
    Log("         bNoSounds=%d", noSounds_ ? 1 : 0);

    if (!settings_.initialised) {
        // Marked first: the message box below runs the event loop, and the
        // other windows' first ticks must not build the lists a second time.
        settings_.initialised = true;
        settings_.InitSettings();
        InstallNoFilesMessage();
        LoadMediaLists(settings_, preview_);
        // A signal or the host may have ended the show while the message box was up.
        if (tornDown_)
            return;
    }
    exit_.SetSettings(ExitSettingsOf(settings_));
    CompositionOff();

    if (settings_.HideCursor)
        pointer_.Hide();

    if (!noSounds_ && !settings_.SoundFiles.empty()) {
        music_ = std::make_unique<MusicPlayer>(settings_, this);
        music_->Start();
    }

    renderer_ = MakeRenderer(settings_);
    if (renderer_ && LogEnabled())
        renderer_->SetFrameObserver(FrameTimeLog());
    if (renderer_) {
        QPoint origin = mapToGlobal(QPoint(0, 0)) * devicePixelRatio();
        QSize size = this->size() * devicePixelRatio();
        renderer_->Init(this, Rect{origin.x(), origin.y(), origin.x() + size.width(), origin.y() + size.height()});
    }
    loop_.StartFrameClock(GetTickCount32());

    if (!RendererCreated())
        requestUpdate();
    // The keyboard grab of a top-level show can fail while the window is not yet mapped.
    if (TheApp().mainWindow == this)
        TakeFocus();
}

std::function<void(const FrameTiming&)> CSaverWnd::FrameTimeLog()
{
    // The worst frame of every hundred: a photo's arrival must not stall the show.
    struct Worst {
        double interval = 0, render = 0, handover = 0;
    };
    auto worst = std::make_shared<Worst>();
    return [worst](const FrameTiming& t) {
        worst->interval = std::max(worst->interval, t.intervalMs);
        worst->render = std::max(worst->render, t.renderMs);
        worst->handover = std::max(worst->handover, t.handoverMs);
        if (t.frames % FrameLoop::kFpsLogEvery == 0) {
            Log("RenderFrame: longest interval %.1f ms, longest frame %.1f ms, longest hand-over %.1f ms "
                "in the last %d frames",
                worst->interval, worst->render, worst->handover, FrameLoop::kFpsLogEvery);
            *worst = Worst{};
        }
    };
}

void CSaverWnd::Paint()
{
    if (!isExposed() || tornDown_)
        return;
    // Before the first tick the window is erased to black; once the renderer
    // draws, it owns the window's contents.
    if (loop_.Initialised() && RendererCreated())
        return;
    if (!fallback_)
        fallback_ = std::make_unique<QBackingStore>(this);
    QRect area(QPoint(0, 0), size());
    fallback_->resize(size());
    fallback_->beginPaint(area);
    {
        QPainter painter(fallback_->paintDevice());
        painter.fillRect(area, Qt::black);
        if (loop_.Initialised()) {
            if (preview_)
                PaintPreviewPicture(painter, area);
            else
                PaintNoDisplayMessage(painter, area);
        }
    }
    fallback_->endPaint();
    fallback_->flush(area);
}

void CSaverWnd::UpdatePointerShape(bool passwordDialogUp)
{
    if (hasParent_)
        return;
    // No pointer over a show, except for a password dialog.
    if (passwordDialogUp)
        unsetCursor();
    else
        setCursor(Qt::BlankCursor);
}

void CSaverWnd::PollSystem()
{
    int command = 0;
    if (power_.DpmsChanged(x11_.DpmsLevel(), command))
        power_.OnPowerCommand(command);
    // A host may destroy its window without our seeing the notification in time.
    if (hasParent_ && !x11_.ClientRect(parentId_)) {
        Log("CSaverWnd: host window gone");
        Teardown();
    }
}

void CSaverWnd::CompositionOff()
{
    if (preview_ || hasParent_)
        return;
    if (settings_.WindowsComposition != 0 && settings_.WindowsComposition != 1)
        return;
    x11_.SetBypassCompositor(winId(), true);
    bypassSet_ = true;
    TheApp().compositionOff = 1;
}

void CSaverWnd::CompositionRestore()
{
    if (!bypassSet_)
        return;
    bypassSet_ = false;
    if (handle())
        x11_.SetBypassCompositor(winId(), false);
    TheApp().compositionOff = 0;
}

void CSaverWnd::OnCloseRequest()
{
    if (tornDown_)
        return;
    // Only the program's own exit path ends a full-screen show.
    if (!preview_ && !ExitAccepted())
        return;
    CompositionRestore();
    Cleanup();
    Teardown();
}

void CSaverWnd::Cleanup()
{
    pointer_.Show();
    if (music_)
        music_->Stop();
    timer_.stop();
}

void CSaverWnd::Teardown()
{
    if (tornDown_)
        return;
    tornDown_ = true;
    exit_.MarkExiting();
    CompositionRestore();
    Cleanup();
    if (renderer_)
        renderer_->CloseDX();
    setKeyboardGrabEnabled(false);
    hide();
    destroy();
    // The show ends with its main window.
    if (TheApp().mainWindow == this)
        QCoreApplication::exit(0);
}
