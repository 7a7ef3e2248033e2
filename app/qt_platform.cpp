#include "app/qt_platform.h"

#include "app/ini_profile_store.h"

#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QScreen>
#include <QStandardPaths>
#include <QtGlobal>

#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {
Rect ToRect(const QRect& r, qreal ratio)
{
    return {int(r.left() * ratio), int(r.top() * ratio), int((r.left() + r.width()) * ratio),
            int((r.top() + r.height()) * ratio)};
}

bool IsDirectory(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// BadWindow for a handle that names no window must not end the process.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

// One show per user and display.
QString InstanceName()
{
    QString display = qEnvironmentVariable("DISPLAY", ":0");
    display.replace('/', '_');
    return QStringLiteral("tessaview-%1-%2").arg(getuid()).arg(display);
}
} // namespace

QtAppPlatform::QtAppPlatform(WindowFactory factory) : factory_(std::move(factory)) {}
QtAppPlatform::~QtAppPlatform() = default;

int QtAppPlatform::ScreenDepth()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

Rect QtAppPlatform::ScreenGeometry()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? ToRect(screen->geometry(), screen->devicePixelRatio()) : Rect{};
}

std::optional<Rect> QtAppPlatform::WindowRect(long handle)
{
    if (handle <= 0)
        return std::nullopt;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::nullopt;
    auto previous = XSetErrorHandler(IgnoreXErrors);
    XWindowAttributes attributes{};
    Status ok = XGetWindowAttributes(display, static_cast<Window>(handle), &attributes);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    if (!ok)
        return std::nullopt;
    int border = attributes.border_width;
    return Rect{attributes.x, attributes.y, attributes.x + attributes.width + 2 * border,
                attributes.y + attributes.height + 2 * border};
}

bool QtAppPlatform::ActivateRunningInstance()
{
    const QString name = InstanceName();
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500)) {
            probe.write("activate\n");
            probe.waitForBytesWritten(500);
            probe.disconnectFromServer();
            return true;
        }
    }
    // No show answers: a socket file left by a show that died is stale.
    QLocalServer::removeServer(name);
    instanceServer_ = std::make_unique<QLocalServer>();
    instanceServer_->setSocketOptions(QLocalServer::UserAccessOption);
    if (instanceServer_->listen(name)) {
        QObject::connect(instanceServer_.get(), &QLocalServer::newConnection, [this] {
            while (QLocalSocket* s = instanceServer_->nextPendingConnection()) {
                QObject::connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
                if (activate_)
                    activate_();
            }
        });
    }
    return false;
}

std::vector<Rect> QtAppPlatform::Monitors()
{
    std::vector<Rect> monitors;
    for (QScreen* screen : QGuiApplication::screens())
        monitors.push_back(ToRect(screen->geometry(), screen->devicePixelRatio()));
    return monitors;
}

std::unique_ptr<SaverWindow> QtAppPlatform::NewSaverWindow() { return factory_ ? factory_() : nullptr; }

int QtAppPlatform::ReadNoSetDPIAwareFromSystemFile()
{
    std::string dirs = qEnvironmentVariable("XDG_CONFIG_DIRS").toStdString();
    std::string first = dirs.substr(0, dirs.find(':'));
    if (first.empty())
        first = "/etc/xdg";
    IniProfileStore system(first + "/Tessaview.ini");
    return system.GetProfileInt("Settings", "NoSetDPIAware", 0);
}

int QtAppPlatform::ReadNoSetDPIAware() { return ReadNoSetDPIAwareFromSystemFile(); }

bool QtAppPlatform::RunConfigurationSheet(CSaverSettings& settings, ProfileStore& store)
{
    if (!sheetRunner_) {
        std::fprintf(stderr, "Tessaview: the settings are kept in %s\n", IniProfileStore::UserStorePath().c_str());
        return false;
    }
    return sheetRunner_(settings, store);
}

std::string QtAppPlatform::OsDescription()
{
    utsname u{};
    if (uname(&u) != 0)
        return "Unknown OS";
    int major = 0, minor = 0, build = 0;
    std::sscanf(u.release, "%d.%d.%d", &major, &minor, &build);
    char line[512];
    std::snprintf(line, sizeof line, "%s %d.%d Build %d %s", u.sysname, major, minor, build, u.version);
    return line;
}

std::string QtAppPlatform::CodecVersion()
{
    int major = 0, minor = 0, patch = 0;
    std::sscanf(qVersion(), "%d.%d.%d", &major, &minor, &patch);
    char line[128];
    std::snprintf(line, sizeof line, "Qt6Gui Version %d.%d.%d.%d", major, minor, patch, 0);
    return line;
}

std::string SharedPicturesFolder()
{
    const std::string shared = "/usr/share/backgrounds";
    return IsDirectory(shared) ? shared : std::string();
}

std::string UserPicturesFolder()
{
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    std::string path = pictures.toStdString();
    // Without a pictures folder Qt answers the home folder, which is no photo folder.
    if (pictures == QStandardPaths::writableLocation(QStandardPaths::HomeLocation))
        return {};
    return IsDirectory(path) ? path : std::string();
}
