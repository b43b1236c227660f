// Start-up and shutdown: every device, surface, sound and record, created once and released once.
#pragma once

int game_startup();
int game_shutdown();
