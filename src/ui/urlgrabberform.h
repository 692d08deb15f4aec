#pragma once
#include "grabber/collector.h"

#include <QDialog>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace hl {

class EditorUrlList;
class HostResolver;
class TAppForm;
class UserPrompts;

// The URL Grabber: a modeless tool window that scans one page or sitemap for links and appends
// them to the main window's URL list. START takes the URL box (with "http://" put in front when it
// does not begin with "http"), the "Contains:" filter, the scope and the main window's agent,
// time-outs and compression, and starts the crawl thread (TCollector): a probe whose last redirect
// target replaces the URL box's text, the fetch of that URL, the scan. The button's caption is the
// grabber's state: "START", "STOP" while the crawl runs, "Stopping..." (disabled) after STOP until
// the crawl's closing report: "<n> new links added" in the main window's status bar and a beep.
//
// The crawl reaches the window only through events queued to the GUI thread and handled there one
// after another (a message box does not let the next one overtake it), a few milliseconds' worth
// per turn of the event loop. Its links go into the URL editor without the change notification,
// which comes once at the closing report (and on closing). Closing or destroying the window stops
// the crawl and waits for its thread, so a crawl never outlives its window. GUI thread only.
class TFormURLGrabber : public QDialog {
    Q_OBJECT
public:
    // form: the main window, which outlives the grabber (it is the grabber's parent). prompts:
    // message boxes and the beep; nullptr: real dialogs over this window. resolver: how the
    // fetches find hosts.
    TFormURLGrabber(TAppForm* form, std::shared_ptr<UserPrompts> prompts,
                    std::shared_ptr<const HostResolver> resolver);
    ~TFormURLGrabber() override;

    // The controls, with their designer names as object names.
    QLineEdit* urlBox() const { return urlBox_; }                  // Edit1
    QLineEdit* filterBox() const { return filterBox_; }            // Edit2
    QRadioButton* allDomainsButton() const { return allDomains_; } // RadioButton3
    QRadioButton* domainButton() const { return domain_; }         // RadioButton1
    QRadioButton* subdomainButton() const { return subdomain_; }   // RadioButton2
    QPushButton* startButton() const { return startButton_; }      // Button1
    QPushButton* closeButton() const { return closeButton_; }      // Button2
    QStatusBar* statusBar() const { return statusBar_; }           // StatusBar1
    // Whether a crawl runs (from START until its closing report).
    bool crawling() const { return collector_ != nullptr; }

protected:
    // FormClose: the URL list's change handling (list.txt is saved), then the window goes.
    void closeEvent(QCloseEvent* event) override;
    // Esc: the "Close" button.
    void reject() override;

private:
    class QueuedEvents;

    void layOut();
    // Button1Click: START or STOP, by the caption.
    void startButtonClicked();
    void start();
    CrawlRequest crawlRequest(const QString& startUrl) const;
    GrabScope scope() const;

    // The crawl's events, on the GUI thread, in order: queued as steps, run in turns.
    void deliver(std::function<void()> step);
    void scheduleSteps();
    void runSteps();
    void probeFinished(const QString& pageUrl);
    void loading(const QString& pageUrl);
    void fetchFailed(const QString& message);
    void linksFound(const QStringList& links);
    void closingReport();
    // CollectorThreadTerminate for an error that escaped the crawl.
    void crawlFailed(const QString& message);
    void backToIdle();

    TAppForm* form_;
    std::shared_ptr<UserPrompts> prompts_;
    std::shared_ptr<const HostResolver> resolver_;

    QLineEdit* urlBox_;
    QLineEdit* filterBox_;
    QRadioButton* allDomains_;
    QRadioButton* domain_;
    QRadioButton* subdomain_;
    QPushButton* startButton_;
    QPushButton* closeButton_;
    QStatusBar* statusBar_;

    // Of the crawl under way. The events outlive the collector, whose destructor waits for the thread.
    std::unique_ptr<EditorUrlList> list_;
    std::unique_ptr<QueuedEvents> events_;
    std::unique_ptr<TCollector> collector_;
    std::deque<std::function<void()>> pendingSteps_;
    bool stepsScheduled_ = false;
    bool runningSteps_ = false;
    bool closed_ = false;
};

} // namespace hl
