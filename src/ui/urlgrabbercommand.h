#pragma once
#include <QObject>
#include <memory>

namespace hl {

class HostResolver;
class TAppForm;
class TFormURLGrabber;
class UserPrompts;

// File > "URL Grabber..." (URLGrabber1Click) and its toolbar button: every use opens a new URL
// Grabber window, without blocking the main window. GUI thread only.
class UrlGrabberCommand : public QObject {
    Q_OBJECT
public:
    // prompts: the grabbers' message boxes and beep; nullptr: real dialogs over each grabber.
    UrlGrabberCommand(TAppForm* form, std::shared_ptr<UserPrompts> prompts,
                      std::shared_ptr<const HostResolver> resolver, QObject* parent);

    // Opens a new grabber window with its defaults and returns it (owned by the main window; it
    // deletes itself when closed).
    TFormURLGrabber* open();

private:
    TAppForm* form_;
    std::shared_ptr<UserPrompts> prompts_;
    std::shared_ptr<const HostResolver> resolver_;
};

} // namespace hl
