#pragma once
// Takes the URLs that controls ask the desktop to open, for one scheme.
#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QString& scheme) : scheme_(scheme)
    {
        QDesktopServices::setUrlHandler(scheme_, this, "Open");
    }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(scheme_); }

    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }

private:
    QString scheme_;
};
