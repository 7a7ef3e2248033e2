#include "saver/saver_wnd.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "music/music_player.h"
#include "saver/fallback_paint.h"
#include "saver/media_lists.h"
#include "saver/no_files_message.h"
#include "render/dx_graphics.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QPainter>

#include <algorithm>

// The show's life in a window: start at the first tick, painting when no
// renderer draws, system polling, and the way out.

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
        const ShowLists lists = LoadMediaLists(settings_, preview_);
        if (lists == ShowLists::NoImages)
            ShowNoFilesMessage();
        // A signal or the host may have ended the show during the build or while
        // the message box was up.
        if (tornDown_ || lists == ShowLists::Stopped)
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

    renderer_ = std::make_unique<DXGraphics>(settings_);
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
    // The worst frames of every hundred: a photo's arrival must not stall the
    // show. A photo frame's own interval and the next one (which includes the
    // photo frame's work) count as "around a photo".
    struct Worst {
        double interval = 0, photoInterval = 0, render = 0, handover = 0;
        int photos = 0;
        bool lastHadPhoto = false;
    };
    auto worst = std::make_shared<Worst>();
    return [worst](const FrameTiming& t) {
        bool photo = t.handoverMs > 0;
        worst->interval = std::max(worst->interval, t.intervalMs);
        if (photo || worst->lastHadPhoto)
            worst->photoInterval = std::max(worst->photoInterval, t.intervalMs);
        worst->render = std::max(worst->render, t.renderMs);
        worst->handover = std::max(worst->handover, t.handoverMs);
        worst->photos += photo ? 1 : 0;
        worst->lastHadPhoto = photo;
        if (t.frames % FrameLoop::kFpsLogEvery == 0) {
            Log("RenderFrame: longest interval %.1f ms, longest frame %.1f ms, longest hand-over %.1f ms, "
                "longest interval around a photo %.1f ms (%d photos) in the last %d frames",
                worst->interval, worst->render, worst->handover, worst->photoInterval, worst->photos,
                FrameLoop::kFpsLogEvery);
            bool last = worst->lastHadPhoto;
            *worst = Worst{};
            worst->lastHadPhoto = last;
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
