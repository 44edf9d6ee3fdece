#include "ui/AutomationWindow.h"

#include <QCoreApplication>

#include "ui/TRxForm.h"

namespace quelp::ui {

AutomationWindowHooks AutomationWindowFor(TRxForm& form, bool endWithLastClient) {
    AutomationWindowHooks hooks;
    hooks.hideShow = [&form](bool show) {
        if (show) {
            form.showNormal();
        } else {
            form.showMinimized();
        }
    };
    hooks.removeCloseCommand = [&form] {
        // Changing a window flag hides the window; it comes back as it was.
        const bool wasVisible = form.isVisible();
        form.setWindowFlag(Qt::WindowCloseButtonHint, false);
        if (wasVisible) form.show();
    };
    if (endWithLastClient) hooks.lastClientGone = [] { QCoreApplication::quit(); };
    return hooks;
}

}  // namespace quelp::ui
