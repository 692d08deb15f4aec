#include "ui/appform.h"

#include "buildinfo.h"

namespace hl {

TAppForm::TAppForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral(HARVESTLINE_COMPANY_NAME " - " HARVESTLINE_PRODUCT_NAME));
    resize(900, 640);
}

} // namespace hl
