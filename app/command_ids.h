/* Menu and accelerator command identifiers and the virtual-key codes the
   controller understands (the Windows values). Plain #defines so that a
   resource script can include this header; C++ names follow below. */
#ifndef ORVANTA_APP_COMMAND_IDS_H
#define ORVANTA_APP_COMMAND_IDS_H

#define IDM_ABOUT           104   /* About box               */
#define IDM_EXIT            105   /* exit                    */
#define IDM_ERASE_ALL       32771 /* erase all (editor)      */
#define IDM_EDIT_MAP        32772 /* edit the map            */
#define IDM_READ_MANUAL     32773 /* read the manual         */
#define IDM_SAVE_MAP        32774 /* save the map (file menu) */
#define IDM_OPEN_MAP        32775 /* open a map              */
#define IDM_START_GAME      32777 /* start the game          */
#define IDM_SAVE_GAME       32779 /* save the game (game menu) */
#define IDM_OPEN_GAME       32780 /* open a game             */
#define IDM_PERSONAL_NUMBER 32781 /* personal number file    */
#define IDM_GENERATOR       32783 /* generator, same grid    */
#define IDM_GRID_COARSE     32784 /* grid 11                 */
#define IDM_GRID_MEDIUM     32785 /* grid 41                 */
#define IDM_GRID_FINE       32786 /* grid 10000              */
#define IDM_SHOW_SOLUTION   32787 /* show the solution       */
#define IDM_SHARE_MAP       32788 /* show the map's code     */
#define IDM_OPEN_MAP_CODE   32789 /* open a map from a code  */
#define IDM_DAILY_MAP       32790 /* the map of the day      */
#define IDM_SHARE_RESULT    32791 /* the day's result line   */
#define IDM_LANGUAGE_FIRST  32800 /* the first language; the others follow */

/* Virtual-key codes handled on key release. */
#define ORVANTA_VK_BACK     8
#define ORVANTA_VK_RETURN   13
#define ORVANTA_VK_ESCAPE   27
#define ORVANTA_VK_SPACE    32
#define ORVANTA_VK_PRIOR    33   /* Page Up   */
#define ORVANTA_VK_NEXT     34   /* Page Down */
#define ORVANTA_VK_LEFT     37
#define ORVANTA_VK_UP       38
#define ORVANTA_VK_RIGHT    39
#define ORVANTA_VK_DOWN     40
#define ORVANTA_VK_DELETE   46
#define ORVANTA_VK_ADD      107  /* keypad plus */
#define ORVANTA_VK_OEM_PLUS 187  /* main-keyboard plus (the '=' / '+' key) */

#if defined(__cplusplus) && !defined(RC_INVOKED)
namespace orvanta {

namespace command {
inline constexpr int about = IDM_ABOUT;
inline constexpr int exitProgram = IDM_EXIT;
inline constexpr int eraseAll = IDM_ERASE_ALL;
inline constexpr int editMap = IDM_EDIT_MAP;
inline constexpr int readManual = IDM_READ_MANUAL;
inline constexpr int saveMap = IDM_SAVE_MAP;
inline constexpr int openMap = IDM_OPEN_MAP;
inline constexpr int startGame = IDM_START_GAME;
inline constexpr int saveGame = IDM_SAVE_GAME;
inline constexpr int openGame = IDM_OPEN_GAME;
inline constexpr int personalNumber = IDM_PERSONAL_NUMBER;
inline constexpr int generator = IDM_GENERATOR;
inline constexpr int gridCoarse = IDM_GRID_COARSE;
inline constexpr int gridMedium = IDM_GRID_MEDIUM;
inline constexpr int gridFine = IDM_GRID_FINE;
inline constexpr int showSolution = IDM_SHOW_SOLUTION;
inline constexpr int shareMap = IDM_SHARE_MAP;
inline constexpr int openMapCode = IDM_OPEN_MAP_CODE;
inline constexpr int dailyMap = IDM_DAILY_MAP;
inline constexpr int shareResult = IDM_SHARE_RESULT;
// Language i of core/catalogue.h is chosen by languageFirst + i.
inline constexpr int languageFirst = IDM_LANGUAGE_FIRST;
}  // namespace command

namespace key {
inline constexpr int backspace = ORVANTA_VK_BACK;
inline constexpr int enter = ORVANTA_VK_RETURN;
inline constexpr int escape = ORVANTA_VK_ESCAPE;
inline constexpr int space = ORVANTA_VK_SPACE;
inline constexpr int pageUp = ORVANTA_VK_PRIOR;
inline constexpr int pageDown = ORVANTA_VK_NEXT;
inline constexpr int left = ORVANTA_VK_LEFT;
inline constexpr int up = ORVANTA_VK_UP;
inline constexpr int right = ORVANTA_VK_RIGHT;
inline constexpr int down = ORVANTA_VK_DOWN;
inline constexpr int deleteKey = ORVANTA_VK_DELETE;
inline constexpr int add = ORVANTA_VK_ADD;
inline constexpr int oemPlus = ORVANTA_VK_OEM_PLUS;
}  // namespace key

}  // namespace orvanta
#endif

#endif /* ORVANTA_APP_COMMAND_IDS_H */
