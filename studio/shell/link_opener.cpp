#include "studio/shell/link_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace qm::studio {

bool isWebLink(const QString& link) {
    const QUrl url(link, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool DesktopLinkOpener::open(const QString& link) {
    if (!isWebLink(link)) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl(link, QUrl::StrictMode));
}

}  // namespace qm::studio
