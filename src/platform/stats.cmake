# Adapters behind the StatsSource and HttpGet ports. Included from platform/CMakeLists.txt.
add_library(vigilo_platform_stats STATIC
    ${CMAKE_CURRENT_LIST_DIR}/qt/QtHttpGet.cpp
)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_sources(vigilo_platform_stats PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/linux/InterfaceAddresses.cpp
        ${CMAKE_CURRENT_LIST_DIR}/linux/LinuxStatsSource.cpp
        ${CMAKE_CURRENT_LIST_DIR}/linux/ProcStats.cpp
        ${CMAKE_CURRENT_LIST_DIR}/linux/StatsFiles.cpp
        ${CMAKE_CURRENT_LIST_DIR}/linux/SysfsPowerSupplies.cpp
    )
endif()
target_link_libraries(vigilo_platform_stats
    PUBLIC vigilo_core Qt6::Network
    PRIVATE vigilo_warnings vigilo_qt_strict)
