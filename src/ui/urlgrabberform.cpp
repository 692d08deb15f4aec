#include "ui/urlgrabberform.h"

#include "services/makerserver.h"
#include "ui/advancedsettingspanel.h"
#include "ui/appform.h"
#include "ui/editorurllist.h"
#include "ui/statuspanels.h"
#include "ui/texteditor.h"
#include "ui/userprompts.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>

namespace hl {
namespace {

const QString kStart = QStringLiteral("START");
const QString kStop = QStringLiteral("STOP");
const QString kStopping = QStringLiteral("Stopping...");
// How long the crawl's steps may hold the event loop before it gets a turn.
constexpr qint64 kStepsPerTurnMs = 20;

} // namespace

// Queues each event of the crawl thread to the window's thread. The window waits for the thread
// before it is destroyed, so it is alive whenever an event is queued to it; events still queued
// when it goes are dropped with it.
class TFormURLGrabber::QueuedEvents final : public CrawlEvents {
public:
    explicit QueuedEvents(TFormURLGrabber* window) : window_(window) {}

    void ProbeFinished(const QString& pageUrl) override {
        post([w = window_, pageUrl] { w->probeFinished(pageUrl); });
    }
    void Loading(const QString& pageUrl) override {
        post([w = window_, pageUrl] { w->loading(pageUrl); });
    }
    void FetchFailed(const QString& message) override {
        post([w = window_, message] { w->fetchFailed(message); });
    }
    void LinksFound(const QStringList& links) override {
        post([w = window_, links] { w->linksFound(links); });
    }
    void Finished() override {
        post([w = window_] { w->closingReport(); });
    }
    void Failed(const QString& message) override {
        post([w = window_, message] { w->crawlFailed(message); });
    }

private:
    void post(std::function<void()> step) {
        QMetaObject::invokeMethod(
            window_, [w = window_, step = std::move(step)] { w->deliver(step); }, Qt::QueuedConnection);
    }

    TFormURLGrabber* window_;
};

TFormURLGrabber::TFormURLGrabber(TAppForm* form, std::shared_ptr<UserPrompts> prompts,
                                 std::shared_ptr<const HostResolver> resolver)
    : QDialog(form, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                        Qt::MSWindowsFixedSizeDialogHint),
      form_(form), prompts_(prompts ? std::move(prompts) : std::make_shared<DialogPrompts>(this)),
      resolver_(std::move(resolver)), urlBox_(new QLineEdit(MakerHomePage())), filterBox_(new QLineEdit),
      allDomains_(new QRadioButton(tr("All Domain Names"))), domain_(new QRadioButton(tr("Domain Name"))),
      subdomain_(new QRadioButton(tr("Subdomain Name Only"))), startButton_(new QPushButton(kStart)),
      closeButton_(new QPushButton(tr("Close"))), statusBar_(new QStatusBar) {
    setAttribute(Qt::WA_DeleteOnClose);
    layOut();
    connect(startButton_, &QPushButton::clicked, this, &TFormURLGrabber::startButtonClicked);
    connect(closeButton_, &QPushButton::clicked, this, &TFormURLGrabber::close);
}

TFormURLGrabber::~TFormURLGrabber() {
    // Stops the crawl and waits for its thread before anything it reports to goes.
    collector_.reset();
}

void TFormURLGrabber::layOut() {
    setObjectName(QStringLiteral("FormURLGrabber"));
    setWindowTitle(tr("URL Grabber"));
    urlBox_->setObjectName(QStringLiteral("Edit1"));
    filterBox_->setObjectName(QStringLiteral("Edit2"));
    allDomains_->setObjectName(QStringLiteral("RadioButton3"));
    domain_->setObjectName(QStringLiteral("RadioButton1"));
    subdomain_->setObjectName(QStringLiteral("RadioButton2"));
    startButton_->setObjectName(QStringLiteral("Button1"));
    closeButton_->setObjectName(QStringLiteral("Button2"));
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    allDomains_->setChecked(true);
    startButton_->setDefault(true);
    closeButton_->setAutoDefault(false);
    statusBar_->setSizeGripEnabled(false);

    auto* rows = new QGridLayout;
    rows->setContentsMargins(12, 12, 12, 0);
    rows->setHorizontalSpacing(10);
    rows->setVerticalSpacing(8);
    rows->addWidget(new QLabel(tr("URL:")), 0, 0);
    rows->addWidget(urlBox_, 0, 1);
    rows->addWidget(new QLabel(tr("Contains:")), 1, 0);
    rows->addWidget(filterBox_, 1, 1);
    auto* scopes = new QHBoxLayout;
    scopes->setContentsMargins(12, 10, 12, 0);
    scopes->setSpacing(14);
    scopes->addWidget(allDomains_);
    scopes->addWidget(domain_);
    scopes->addWidget(subdomain_);
    scopes->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 0, 12, 8);
    buttons->addStretch(1);
    buttons->addWidget(startButton_);
    buttons->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(rows);
    layout->addLayout(scopes);
    layout->addStretch(1);
    layout->addLayout(buttons);
    layout->addWidget(statusBar_);
    setFixedSize(484, 177);
    move(form_->geometry().center() - rect().center());
}

void TFormURLGrabber::closeEvent(QCloseEvent* event) {
    // Closing ends a crawl under way; what it has appended stays, and nothing more is taken from it.
    closed_ = true;
    collector_.reset();
    form_->urlEditor()->notifyChange();
    event->accept();
}

void TFormURLGrabber::reject() {
    close();
}

void TFormURLGrabber::startButtonClicked() {
    if (startButton_->text() == kStart) return start();
    if (startButton_->text() != kStop) return;
    startButton_->setText(kStopping);
    startButton_->setEnabled(false);
    collector_->Stop();
}

void TFormURLGrabber::start() {
    if (urlBox_->text().trimmed().isEmpty()) {
        prompts_->showMessage(MessageIcon::Warning, QStringLiteral("Warning"),
                              QStringLiteral("Please enter URL!"));
        urlBox_->setFocus();
        return;
    }
    startButton_->setText(kStop);
    urlBox_->setText(WithHttpPrefix(urlBox_->text()));
    list_ = std::make_unique<EditorUrlList>(form_->urlEditor(), nullptr);
    events_ = std::make_unique<QueuedEvents>(this);
    collector_ = std::make_unique<TCollector>(crawlRequest(urlBox_->text()), *events_);
}

CrawlRequest TFormURLGrabber::crawlRequest(const QString& startUrl) const {
    const AdvancedSettingsPanel* advanced = form_->advancedSettings();
    CrawlRequest request;
    request.startUrl = startUrl;
    request.criteria.scope = scope();
    request.criteria.filter = filterBox_->text();
    request.page.userAgent = advanced->userAgentBox()->currentText();
    request.page.connectTimeoutMs = advanced->connectionTimeoutBox()->value();
    request.page.readTimeoutMs = advanced->responseTimeoutBox()->value();
    request.page.zlibCompression = form_->menu().zlibCompression->isChecked();
    request.page.resolver = resolver_;
    return request;
}

GrabScope TFormURLGrabber::scope() const {
    if (domain_->isChecked()) return GrabScope::DomainName;
    if (subdomain_->isChecked()) return GrabScope::SubdomainNameOnly;
    return GrabScope::AllDomainNames;
}

void TFormURLGrabber::deliver(std::function<void()> step) {
    if (closed_) return;
    pendingSteps_.push_back(std::move(step));
    scheduleSteps();
}

void TFormURLGrabber::scheduleSteps() {
    if (stepsScheduled_ || runningSteps_) return;
    stepsScheduled_ = true;
    QMetaObject::invokeMethod(this, &TFormURLGrabber::runSteps, Qt::QueuedConnection);
}

void TFormURLGrabber::runSteps() {
    stepsScheduled_ = false;
    if (runningSteps_ || closed_) return;
    // A step that shows a message box runs a nested event loop; the steps that arrive meanwhile
    // wait for it here instead of running inside it. A crawl that finds links faster than the
    // editor takes them gets one turn of the event loop after another, so input and painting go on.
    runningSteps_ = true;
    QElapsedTimer turn;
    turn.start();
    while (!pendingSteps_.empty() && !closed_ && !turn.hasExpired(kStepsPerTurnMs)) {
        const std::function<void()> next = std::move(pendingSteps_.front());
        pendingSteps_.pop_front();
        next();
    }
    runningSteps_ = false;
    if (!pendingSteps_.empty() && !closed_) scheduleSteps();
}

void TFormURLGrabber::probeFinished(const QString& pageUrl) {
    if (urlBox_->text() != pageUrl) urlBox_->setText(pageUrl);
}

void TFormURLGrabber::loading(const QString& pageUrl) {
    statusBar_->showMessage(QStringLiteral("Loading: ") + pageUrl);
}

void TFormURLGrabber::fetchFailed(const QString& message) {
    if (form_->menu().showErrors->isChecked())
        prompts_->showMessage(MessageIcon::Error, QStringLiteral("ERROR"), message);
}

void TFormURLGrabber::linksFound(const QStringList& links) {
    list_->appender().Ekle(links);
}

void TFormURLGrabber::closingReport() {
    const quint64 added = list_->appender().AddedLinkCount();
    form_->statusPanels()->setPanelText(0, QString::number(added) + QStringLiteral(" new links added"));
    backToIdle();
    prompts_->beep();
}

void TFormURLGrabber::crawlFailed(const QString& message) {
    prompts_->showMessage(MessageIcon::Error, QStringLiteral("ERROR"), message);
    backToIdle();
}

void TFormURLGrabber::backToIdle() {
    // The appends were quiet; the list's change handling (list.txt) runs once for all of them.
    if (list_->appender().AddedLinkCount() > 0) form_->urlEditor()->notifyChange();
    collector_.reset();
    events_.reset();
    list_.reset();
    startButton_->setText(kStart);
    startButton_->setEnabled(true);
    statusBar_->clearMessage();
}

} // namespace hl
