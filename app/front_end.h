// The front-end seam, listed: to add a front end, implement the functions of
// part 1 and call those of part 2. Nothing else of the portable layers needs a
// front end, and a front end needs nothing else of them.
//
// The functions are declared, with their full contracts, in the portable layer
// that uses them (core/ cannot see app/); this header names them all, grouped,
// and each front end keeps each group in a file of the same name:
//
//   app/qt/, app/win32/, app/web/       group
//   clock_services.cpp                  1a  the clocks and the solver's sleep
//   file_services.cpp                   1b  dialogs, files, the program's folders
//   window_services.cpp                 1c  the main window's services
//   picture_services.cpp, .h            1d  the picture's memory and its text
//   solve_services.cpp                  1e  the thread a forced solve runs on
//   share_services.cpp                  1f  passing a map on: code dialogs, link
//
// The desktops share 1e's thread in app/desktop_solve_thread.cpp and provide only
// postSolveEnded; the browser runs the solve in a Web Worker. The test support
// library (tests/support/fake_*) implements every group with fakes.
//
// Rules of the seam: plain free functions, one implementation linked per
// program; texts are Windows-1251 both ways; everything but postSolveEnded
// runs on the window's thread.
#pragma once

#include "app/app_state.h"
#include "app/controller.h"
#include "app/forced_solve.h"
#include "app/layout.h"
#include "app/menu_table.h"
#include "app/picture.h"
#include "app/renderer.h"
#include "app/share_commands.h"
#include "app/share_services.h"
#include "app/solve_services.h"
#include "app/startup.h"
#include "app/window_services.h"
#include "core/platform.h"
#include "files/file_services.h"

namespace orvanta::front_end {

// ---- 1. What a front end provides ------------------------------------------

// 1a. The clocks and the solver's sleep (core/platform.h).
using platform::clockSeconds;           // calendar seconds since 1970
using platform::monotonicMilliseconds;  // a clock that only runs forward
using platform::sleepMilliseconds;

// 1b. Dialogs, files and the program's folders (files/file_services.h).
using platform::showSaveDialog;
using platform::showOpenDialog;
using platform::createNewFile;
using platform::writeToFile;
using platform::flushFile;
using platform::closeFile;
using platform::replaceFile;
using platform::removeFile;
using platform::readFileStart;
using platform::shellOpen;              // opens a document with the desktop's viewer
using platform::canWriteDirectory;
using platform::userConfigDirectory;
using platform::moduleFileName;         // the program's own path

// 1c. The main window's services (app/window_services.h).
using platform::invalidateWindow;       // a repaint, which calls paintWindow, follows
using platform::setWindowTitle;
using platform::showAboutBox;
using platform::closeMainWindow;
using platform::refusalBeep;            // the program's only word of refusal
using platform::languageChanged;        // menus and own texts in the new language, the choice kept

// 1d. The picture's memory and its text (app/picture.h); the front end also
// defines the structs PictureStore and PictureContext.
using platform::createPictureSurface;
using platform::releasePictureSurface;
using platform::beginPictureDrawing;    // DrawingSurface::redraw says whether this repaint redraws
using platform::endPictureDrawing;
using platform::drawText;
using platform::textWidth;              // how wide drawText's text will be

// 1e. The thread a forced solve runs on (app/solve_services.h).
using platform::startSolveThread;
using platform::stopSolveThread;
using platform::solveThreadProgress;
using platform::waitForSolveThread;
using platform::takeSolvedBoard;
using platform::endSolveThread;
using platform::postSolveEnded;         // from the solve's thread: have collectFinishedSolve called

// 1f. Passing a map on (app/share_services.h).
using platform::showShareDialog;        // a code or result line with a button that copies it
using platform::askForMapCode;          // a code or link typed or pasted
using platform::mapCodeLink;            // the address that opens a code, where there is one

// ---- 2. What a front end calls ---------------------------------------------

// 2a. Start and end of the program.
using orvanta::resetToStartUp;          // before the window exists (app_state.h)
using orvanta::initApplication;         // once the window is shown and first drawn (startup.h)
using orvanta::endForcedSolve;          // at the end, before the program exits (forced_solve.h)

// 2b. The window's events (controller.h).
using orvanta::paintWindow;             // on every paint: the picture to copy to the window
using orvanta::layoutSmallScreen;       // the layout a small screen may pass to paintWindow (layout.h)
using orvanta::gridToWindow;            // where a city of that layout lies (layout.h)
using orvanta::handleKeyRelease;        // a key released, as a Windows virtual-key code
using orvanta::handleCommand;           // a menu command or accelerator
using orvanta::recordClick;             // a left or right button press
using orvanta::handleTimerTick;         // every kClockCheckMilliseconds while the window is shown

// 2c. The forced solve (forced_solve.h).
using orvanta::collectFinishedSolve;    // on the window's thread, after postSolveEnded

// 2d. The menu bar and the character keys, to build the menus from
// (menu_table.h); a chosen item or key goes to handleCommand.
using orvanta::kMenuBar;
using orvanta::kMenuCount;
using orvanta::commandOfCharacter;

// 2e. A code the program was started with (share_commands.h): the web page's address.
using orvanta::openStartingCode;

}  // namespace orvanta::front_end
