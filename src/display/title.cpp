// title.cpp -- the title screen. For now the game starts straight away.
#include "display/display.h"

void show_title_screen() {}
