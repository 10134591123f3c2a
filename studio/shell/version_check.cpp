#include "studio/shell/version_check.h"

#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QThread>
#include <QUrl>

#include "studio/shell/link_opener.h"
#include "studio/shell/string_table.h"
#include "studio/shell/user_prompts.h"

namespace qm::studio {
namespace {

constexpr int kStopWaitMs = 3000;

// Lives on the worker thread: one GET, then the parsed document (or nothing) is handed to the
// check on the main thread.
class VersionFetcher final : public QObject {
  public:
    VersionFetcher(
        QUrl url, int timeoutMs, QPointer<VersionCheck> owner,
        std::function<void(VersionCheck*, const std::optional<PublishedVersion>&)> deliver)
        : url_(std::move(url)),
          timeoutMs_(timeoutMs),
          owner_(std::move(owner)),
          deliver_(std::move(deliver)) {}

    void run() {
        auto* manager = new QNetworkAccessManager(this);
        QNetworkRequest request(url_);
        request.setTransferTimeout(timeoutMs_);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        QNetworkReply* reply = manager->get(request);
        connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
            if (received > VersionCheck::kMaxDocumentBytes) {
                reply->abort();
            }
        });
        connect(reply, &QNetworkReply::finished, this, [this, reply] {
            std::optional<PublishedVersion> published;
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (reply->error() == QNetworkReply::NoError && status == 200) {
                const QByteArray body = reply->read(VersionCheck::kMaxDocumentBytes + 1);
                if (body.size() <= VersionCheck::kMaxDocumentBytes) {
                    published = parseVersionDocument(
                        std::string_view(body.constData(), static_cast<std::size_t>(body.size())));
                }
            }
            reply->deleteLater();
            deliver(std::move(published));
        });
    }

  private:
    void deliver(std::optional<PublishedVersion> published) {
        if (owner_.isNull()) {
            return;
        }
        QMetaObject::invokeMethod(
            owner_.data(),
            [owner = owner_, deliver = deliver_, published = std::move(published)] {
                if (!owner.isNull()) {
                    deliver(owner.data(), published);
                }
            },
            Qt::QueuedConnection);
    }

    QUrl url_;
    int timeoutMs_;
    QPointer<VersionCheck> owner_;
    std::function<void(VersionCheck*, const std::optional<PublishedVersion>&)> deliver_;
};

}  // namespace

QString fillNumbers(const QString& text, std::initializer_list<unsigned> numbers) {
    QString result;
    auto next = numbers.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] == QLatin1Char('u') &&
            next != numbers.end()) {
            result += QString::number(*next++);
            ++i;
            continue;
        }
        result += text[i];
    }
    return result;
}

QString newerVersionMessage(const VersionNumbers& installed, const VersionNumbers& published) {
    return fillNumbers(loadString(3503), {installed.major, installed.minor, installed.build,
                                          published.major, published.minor, published.build});
}

VersionCheck::VersionCheck(UserPrompts& prompts, LinkOpener& links, VersionNumbers installed,
                           std::chrono::milliseconds timeout, QObject* parent)
    : QObject(parent), prompts_(prompts), links_(links), installed_(installed), timeout_(timeout) {}

VersionCheck::~VersionCheck() {
    stopWorker();
}

bool VersionCheck::running() const {
    return thread_ != nullptr;
}

void VersionCheck::start(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (address.trimmed().isEmpty()) {
        emit finished(Outcome::Skipped);
        return;
    }
    if (!url.isValid() || running()) {
        emit finished(Outcome::Failed);
        return;
    }
    thread_ = new QThread();
    thread_->setObjectName(QStringLiteral("versionCheck"));
    auto* fetcher = new VersionFetcher(
        url, static_cast<int>(timeout_.count()), QPointer<VersionCheck>(this),
        [](VersionCheck* check, const std::optional<PublishedVersion>& published) {
            check->onFetched(published);
        });
    fetcher->moveToThread(thread_);
    connect(thread_, &QThread::started, fetcher, [fetcher] { fetcher->run(); });
    connect(thread_, &QThread::finished, fetcher, &QObject::deleteLater);
    thread_->start();
}

void VersionCheck::stopWorker() {
    if (thread_ == nullptr) {
        return;
    }
    QThread* thread = thread_;
    thread_ = nullptr;
    thread->quit();
    if (thread->wait(QDeadlineTimer(kStopWaitMs))) {
        delete thread;
    } else {
        // Still unwinding: it deletes itself once its loop has ended.
        connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    }
}

void VersionCheck::onFetched(const std::optional<PublishedVersion>& published) {
    stopWorker();
    if (!published) {
        emit finished(Outcome::Failed);
        return;
    }
    if (!(published->version > installed_)) {
        emit finished(Outcome::UpToDate);
        return;
    }
    if (!prompts_.askYesNo(newerVersionMessage(installed_, published->version),
                           UserPrompts::Icon::Information)) {
        emit finished(Outcome::Declined);
        return;
    }
    links_.open(QString::fromStdString(published->link));
    emit finished(Outcome::Opened);
}

}  // namespace qm::studio
