// The hand-over of an ended solve to the event loop; the solve's thread itself
// is the desktops' (app/solve_thread.cpp).
#include <QCoreApplication>
#include <QMetaObject>

#include "app/background_solve.h"
#include "app/solve_services.h"

namespace orvanta::platform {

void postSolveEnded() {
    // Queued to the application object, which lives on the window's thread.
    if (QCoreApplication* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(application, [] { collectFinishedSolve(); }, Qt::QueuedConnection);
}

}  // namespace orvanta::platform
