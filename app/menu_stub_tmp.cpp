#include "app/menu.h"
Button game_start_button;
Button game_authors_button;
Button game_exit_button;
Cursor game_cursor;
int32_t game_exit_sound = -1;
Surface game_menu_screen = nullptr;
Surface game_info_screen = nullptr;
int game_menu_step() { return 1; }
int game_info_step() { return 1; }
void game_cursor_step() {}
