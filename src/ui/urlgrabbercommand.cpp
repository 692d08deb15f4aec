#include "ui/urlgrabbercommand.h"

#include "ui/appform.h"
#include "ui/urlgrabberform.h"

#include <QAction>

namespace hl {

UrlGrabberCommand::UrlGrabberCommand(TAppForm* form, std::shared_ptr<UserPrompts> prompts,
                                     std::shared_ptr<const HostResolver> resolver, QObject* parent)
    : QObject(parent), form_(form), prompts_(std::move(prompts)), resolver_(std::move(resolver)) {
    connect(form_->menu().urlGrabber, &QAction::triggered, this, &UrlGrabberCommand::open);
}

TFormURLGrabber* UrlGrabberCommand::open() {
    auto* grabber = new TFormURLGrabber(form_, prompts_, resolver_);
    grabber->show();
    return grabber;
}

} // namespace hl
