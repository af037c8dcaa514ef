// oyun: the show.
#include "app/app_window.h"

int main() { return appMain(platform::currentInstance()); }
