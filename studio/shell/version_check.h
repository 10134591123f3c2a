#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <optional>

#include "studio/shell/version_document.h"

class QThread;

namespace qm::studio {

class LinkOpener;
class UserPrompts;

// Fills the "%u" places of a text in order; the text is never used as a format.
QString fillNumbers(const QString& text, std::initializer_list<unsigned> numbers);

// Message 3503 for the installed and the published version.
QString newerVersionMessage(const VersionNumbers& installed, const VersionNumbers& published);

// Once per start: fetches the maker's version document on a worker thread (with a time-out
// and a size limit) and, back on the main thread, offers the download link when the published
// version is newer than the installed one. Every failure ends the check without a message.
class VersionCheck : public QObject {
    Q_OBJECT

  public:
    enum class Outcome {
        Skipped,   // no address configured
        Failed,    // no answer, status other than 200, empty or unreadable document
        UpToDate,  // published version not newer
        Declined,  // the user didn't want the download
        Opened,    // the link was handed to the browser
    };
    Q_ENUM(Outcome)

    static constexpr std::chrono::milliseconds kDefaultTimeout{15000};
    static constexpr qint64 kMaxDocumentBytes = 64 * 1024;

    VersionCheck(UserPrompts& prompts, LinkOpener& links, VersionNumbers installed,
                 std::chrono::milliseconds timeout = kDefaultTimeout, QObject* parent = nullptr);
    ~VersionCheck() override;

    // Starts the check for the document at this address; an empty address skips it.
    void start(const QString& address);
    bool running() const;

  signals:
    void finished(qm::studio::VersionCheck::Outcome outcome);

  private:
    void onFetched(const std::optional<PublishedVersion>& published);
    void stopWorker();

    UserPrompts& prompts_;
    LinkOpener& links_;
    const VersionNumbers installed_;
    const std::chrono::milliseconds timeout_;
    QThread* thread_ = nullptr;
};

}  // namespace qm::studio
