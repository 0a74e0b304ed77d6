# Running and installed applications on Linux, and the event-loop scheduler.
add_library(vigilo_platform_apps STATIC
    linux/LinuxApplicationIndex.cpp
    linux/LinuxCgroupAppId.cpp
    linux/LinuxDesktopEntry.cpp
    linux/LinuxProcessApps.cpp
    linux/LinuxRunningAppsObservation.cpp
    linux/LinuxSystemdUnitWatch.cpp
    linux/LinuxWorkspace.cpp
    linux/LinuxXdgDataDirs.cpp
    qt/QtScheduler.cpp
)
target_include_directories(vigilo_platform_apps PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
target_link_libraries(vigilo_platform_apps
    PUBLIC vigilo_core Qt6::Core Qt6::DBus
    PRIVATE vigilo_warnings vigilo_qt_strict)
