// The settings store under fire, for soak.sh.
//   vigilo_settings_saver <folder>          opens the store and saves in a loop until killed
//   vigilo_settings_saver <folder> --start  opens the store (what a start does to it) and exits

#include "platform/linux/settings/JsonDefaults.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    if (argc < 2 || (argc == 3 && std::string_view(argv[2]) != "--start") || argc > 3) {
        std::cerr << "usage: vigilo_settings_saver <folder> [--start]\n";
        return 2;
    }
    vigilo::JsonDefaults store(argv[1]);
    if (argc == 3) {
        return 0;
    }
    // About 60 KB a save, so that a good share of the kills land while a file is being written.
    const vigilo::StringList apps(2000, "org.example.SomeLongApplicationId");
    for (std::int64_t round = 0;; ++round) {
        store.set("watchedApps", apps);
        store.set("batteryThreshold", round);
    }
}
