# gridbloom.scr: the Windows shell around the portable core, with its
# resources. Statically linked, so the one file imports only system DLLs.

enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(generated_resources ${CMAKE_CURRENT_BINARY_DIR}/resources)
file(MAKE_DIRECTORY ${generated_resources})
add_custom_command(
    OUTPUT ${generated_resources}/gridbloom.ico ${generated_resources}/invisible.cur
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/resources/make_images.py
            ${CMAKE_CURRENT_SOURCE_DIR}/resources/icon.txt
            ${generated_resources}/gridbloom.ico ${generated_resources}/invisible.cur
    DEPENDS resources/make_images.py resources/icon.txt
    COMMENT "Building the icon and the invisible pointer"
    VERBATIM)
set_source_files_properties(resources/gridbloom.rc PROPERTIES
    OBJECT_DEPENDS "${generated_resources}/gridbloom.ico;${generated_resources}/invisible.cur;${CMAKE_CURRENT_SOURCE_DIR}/resources/gridbloom.manifest;${CMAKE_CURRENT_SOURCE_DIR}/resources/resource.h")

add_executable(gridbloom WIN32
    app/main.cpp
    app/Terminate.cpp
    platform/ColorBox.cpp
    platform/DllSearchOrder.cpp
    platform/Dpi.cpp
    platform/FrameOnScreen.cpp
    platform/JapaneseFont.cpp
    platform/MessageLoop.cpp
    platform/Monitors.cpp
    platform/Process.cpp
    platform/SaverInput.cpp
    platform/SaverWindow.cpp
    platform/SettingsControls.cpp
    platform/SettingsWindow.cpp
    platform/VisibilityNotifications.cpp
    platform/Win32SettingsFiles.cpp
    platform/Window.cpp
    resources/gridbloom.rc
)
target_link_libraries(gridbloom PRIVATE gridbloom_core comctl32)
gridbloom_warnings(gridbloom)
target_include_directories(gridbloom PRIVATE ${generated_resources} ${CMAKE_CURRENT_SOURCE_DIR}/resources)
set_target_properties(gridbloom PROPERTIES
    OUTPUT_NAME gridbloom
    SUFFIX .scr
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Unicode throughout, the W functions only; declarations up to Windows 10,
# while newer functions are looked up at run time.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# SSE2 is present on every processor that runs Windows 8 or later.
set(hardening_compile -fstack-protector-strong -msse2 -mfpmath=sse -ffunction-sections -fdata-sections)
target_compile_options(gridbloom_core PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${hardening_compile}>)
target_compile_options(gridbloom PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${hardening_compile}>)
target_link_options(gridbloom PRIVATE
    -municode -static -fstack-protector-strong
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-seh -Wl,--enable-reloc-section
    # Terminal-server aware (no per-session INI and registry mapping is
    # needed), for Windows Vista and later.
    -Wl,--tsaware -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,0
    -Wl,--major-os-version,6 -Wl,--minor-os-version,0
    -Wl,--gc-sections -s)

# floor.exe: the cheapest program that shows frames like the saver does, the
# baseline for bench/saver_cpu.py. Only on request, so the normal build stays
# the one program.
option(GRIDBLOOM_FLOOR "Also build floor.exe, the baseline of the CPU benchmark" OFF)
if(GRIDBLOOM_FLOOR)
    add_executable(gridbloom_floor WIN32 bench/floor/FloorMain.cpp)
    gridbloom_warnings(gridbloom_floor)
    target_compile_options(gridbloom_floor PRIVATE ${hardening_compile})
    target_link_options(gridbloom_floor PRIVATE
        -municode -static -mwindows -fstack-protector-strong -Wl,--gc-sections -s)
    set_target_properties(gridbloom_floor PROPERTIES
        OUTPUT_NAME floor
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
