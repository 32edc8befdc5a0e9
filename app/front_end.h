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
// runs on the window's thread. A front end reads no global of the portable
// layers: what it reads of the state is in 2g. (The web build's table writer,
// app/web/web_tables.cpp, a tool and no front end, reads the catalogues whole.)
//
// Its companion page, docs/design.md ("Writing a front end"), gives each front
// end's start-up order, the key codes, the picture's store and context, and
// how a front end joins the build.
#pragma once

#include "app/app_state.h"
#include "app/controller.h"
#include "app/forced_solve.h"
#include "app/front_end_view.h"
#include "app/menu_table.h"
#include "app/picture.h"
#include "app/renderer.h"
#include "app/share_commands.h"
#include "app/share_services.h"
#include "app/solve_services.h"
#include "app/startup.h"
#include "app/window_services.h"
#include "app/window_texts.h"
#include "core/catalogue.h"
#include "core/platform.h"
#include "core/solver.h"
#include "core/text1251.h"
#include "files/file_services.h"
#include "files/language_choice.h"

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

// 2a. Start and end of the program (docs/design.md shows each front end's
// order): resetToStartUp and the start language (2f) before the window
// exists; the window made, shown and painted once (the first map is made
// there), then initApplication; endForcedSolve once the event loop ends.
using orvanta::resetToStartUp;          // (app_state.h)
using orvanta::initApplication;         // the title with the edition's words, the personal number (startup.h)
using orvanta::endForcedSolve;          // stops a solve still running and waits for its thread (forced_solve.h)

// 2b. The window's events (controller.h).
using orvanta::paintWindow;             // on every paint: the picture to copy to the window
using orvanta::LayoutChoice;            // the layout paintWindow may be given:
using orvanta::layoutFrame;             //   the desktops' own (the default)
using orvanta::layoutFrameAtScale;      //   the same in device pixels at a screen scale (frame.h)
using orvanta::layoutSmallScreen;       //   a small screen's, the texts shown around the picture (frame.h)
using orvanta::gridToWindow;            // where a city of that layout lies (renderer.h)
using orvanta::handleKeyRelease;        // a key released, as a Windows virtual-key code: orvanta::key
using orvanta::handleCommand;           // a menu command or accelerator: an id of orvanta::command
using orvanta::MouseButton;
using orvanta::recordClick;             // a left or right button press, in the picture's pixels
using orvanta::tickGameClock;           // every kClockCheckMilliseconds while the window is shown
using orvanta::kClockCheckMilliseconds;
// The key codes handleKeyRelease takes and the command ids (command_ids.h):
// a front end maps its toolkit's keys to these Windows values; '?' and '/'
// are characters, not keys (2d).
namespace key = orvanta::key;
namespace command = orvanta::command;

// 2c. The forced solve (forced_solve.h).
using orvanta::collectFinishedSolve;    // on the window's thread, after postSolveEnded
using orvanta::forcedSolveRunning;      // whether a solve runs beside the window
using orvanta::solveExact;              // what a front end's own solve thread runs, as the browser's worker does (core/solver.h)

// 2d. The menu bar and the character keys, to build the menus from
// (menu_table.h); a chosen item or key goes to handleCommand.
using orvanta::kMenuBar;
using orvanta::kMenuCount;
using orvanta::shownCaption;            // an item's or a menu's caption in the language in use
using orvanta::isCheckedItem;
using orvanta::commandOfCharacter;
using orvanta::kCharacterKeys;          // the same characters as a table (the web's tables.js)
using orvanta::kCharacterKeyCount;

// 2e. A code the program was started with (share_commands.h): the web page's address.
using orvanta::openStartingCode;

// 2f. Texts and the language. Every text of the seam is Windows-1251; a front
// end converts at its edge (text1251.h). The start language is the player's
// remembered choice, else the system's (startLanguage); languageChanged (1c)
// keeps a new choice.
using orvanta::text::tr;                // a text in the language in use (catalogue.h)
using orvanta::text::startLanguage;
using orvanta::text::setLanguage;
using orvanta::text::currentLanguage;
using orvanta::text::languageCode;
using orvanta::text::toUtf8;
using orvanta::text::fromUtf8;
using orvanta::text::toUtf16;
using orvanta::text::byteOf1251;        // one character each way
using orvanta::text::unicodeOf1251;
using orvanta::readLanguageChoice;      // (files/language_choice.h)
using orvanta::writeLanguageChoice;
using orvanta::programName;             // the About box's line (window_texts.h)
using orvanta::baseWindowTitle;         // the front of every title
using orvanta::aboutCaption;            // the About box's caption

// 2g. What a front end reads of the state (front_end_view.h); it reads no
// global directly.
using orvanta::currentMode;
using orvanta::currentBoard;
using orvanta::currentPictureSize;
using orvanta::boardInPicture;          // the board's place and its cities' points, for a finger's aim

}  // namespace orvanta::front_end
