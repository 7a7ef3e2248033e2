#pragma once
// The window a show runs in: one per monitor, or one inside a host window.
// It owns its renderer and, as the first window, the music; a 40 ms timer
// drives initialisation, frames and the music supervision.
#include "app/saver_app.h"
#include "saver/exit_rules.h"
#include "saver/frame_loop.h"
#include "saver/monitor_power.h"
#include "saver/pointer_state.h"
#include "saver/x11_link.h"

#include <QAbstractNativeEventFilter>
#include <QBasicTimer>
#include <QWindow>

#include <functional>
#include <memory>

class CSaverSettings;
class DXGraphics;
struct FrameTiming;
class MusicPlayer;
class QBackingStore;
class QKeyEvent;

class CSaverWnd : public QWindow, public SaverWindow, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit CSaverWnd(CSaverSettings& settings);
    ~CSaverWnd() override;

    void SetPreview(bool preview) override { preview_ = preview; }
    void SetNoSounds(bool noSounds) override { noSounds_ = noSounds; }
    bool CreateSaverWindow(long parent, const Rect* monitor) override;
    void PostClose() override;
    void TakeFocus() override;

    void SetPasswordProvider(PasswordProvider* provider) { exit_.SetPasswordProvider(provider); }
    bool Initialised() const { return loop_.Initialised(); }
    int Frames() const { return loop_.Frames(); }
    bool TornDown() const { return tornDown_; }

protected:
    bool event(QEvent* e) override;
    void exposeEvent(QExposeEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

    void ScrInit();
    void OnCloseRequest();
    void Cleanup();
    void Teardown();
    void CompositionOff();
    void CompositionRestore();
    void PollSystem();
    // The keys of a photo frame, for every window's show.
    void FrameKey(const QKeyEvent& e);
    void UpdatePointerShape(bool passwordDialogUp);
    void Paint();
    QPoint DevicePosition(QPointF logical) const;
    bool RendererCreated() const;
    static std::function<void(const FrameTiming&)> FrameTimeLog();

    CSaverSettings& settings_;
    X11Link x11_;
    PointerState pointer_;
    MonitorPower power_;
    ExitRules exit_;
    FrameLoop loop_;

    bool preview_ = false;
    bool noSounds_ = false;
    bool hasParent_ = false;
    unsigned long parentId_ = 0;
    bool bypassSet_ = false;
    bool tornDown_ = false;
    int systemTicks_ = 0;

    QBasicTimer timer_;
    std::unique_ptr<QWindow> host_;            // the foreign parent window, when there is one
    std::unique_ptr<MusicPlayer> music_;
    std::unique_ptr<QBackingStore> fallback_;  // paints when no renderer draws
    std::unique_ptr<DXGraphics> renderer_;
};
