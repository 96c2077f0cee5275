# Helpers so that a new library, test, benchmark, fuzz target or plug-in is one
# line in the CMakeLists.txt of its folder.

# mireva_library(NAME SOURCES... [DEPS lib...] [QT])
# A static library whose headers are included as "subsystem/Header.h" from src/.
# QT marks a library of widgets (ui/ folders, platform/qt); logic libraries
# must not link Qt.
function(mireva_library name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS} ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/plugins)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PUBLIC Qt6::Widgets Qt6::Network)
    mireva_use_pch(${name} mireva_pch_qt)
  else()
    mireva_use_pch(${name} mireva_pch_std)
  endif()
endfunction()

# Precompiled headers. Each set is built once, by a library of its own made
# with mireva_pch, and taken by every target of the same compile options with
# mireva_use_pch: the standard library for the logic libraries, Qt's widgets
# beside it for the ui libraries, GoogleTest (and Qt) for the tests. They
# only save parsing: every file still includes what it uses. GCC alone, which
# ignores a header built with other options instead of failing.
set(MIREVA_PCH_STD
  <algorithm> <array> <atomic> <chrono> <condition_variable> <cstdint> <cstring> <deque> <filesystem>
  <functional> <map> <memory> <mutex> <optional> <set> <span> <string> <string_view> <thread>
  <unordered_map> <utility> <variant> <vector>)
set(MIREVA_PCH_QT
  <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QDialogButtonBox> <QEvent> <QHBoxLayout>
  <QImage> <QKeyEvent> <QLabel> <QLineEdit> <QListWidget> <QMenu> <QMessageBox> <QMouseEvent> <QObject>
  <QPainter> <QPushButton> <QString> <QTimer> <QTreeWidget> <QVBoxLayout> <QWidget>)

# mireva_pch(NAME [EXECUTABLE] [HEADERS header...] [LIBS lib...])
# EXECUTABLE builds the headers as executables are compiled (the tests),
# otherwise as the static libraries are.
function(mireva_pch name)
  if(NOT MIREVA_PCH)
    return()
  endif()
  cmake_parse_arguments(ARG "EXECUTABLE" "" "HEADERS;LIBS" ${ARGN})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  if(ARG_EXECUTABLE)
    file(GENERATE OUTPUT ${source} CONTENT "// Only builds the precompiled headers of ${name}.\nint main() { return 0; }\n")
    add_executable(${name} ${source})
  else()
    file(GENERATE OUTPUT ${source} CONTENT "// Only builds the precompiled headers of ${name}.\n")
    add_library(${name} STATIC ${source})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
endfunction()

# mireva_use_pch(TARGET PCH): TARGET takes the headers PCH built.
function(mireva_use_pch target pch)
  if(MIREVA_PCH AND TARGET ${pch})
    target_precompile_headers(${target} REUSE_FROM ${pch})
  endif()
endfunction()

# mireva_test(NAME SOURCES... [LIBS lib...] [QT] [EACH_CASE] [LABELS label...])
# One GoogleTest executable, run by ctest as one case: starting a sanitized
# process per TEST cost five times the tests' own time. EACH_CASE makes every
# TEST its own ctest case instead, for programs whose cases are long enough to
# be worth spreading over the cores. QT gives the test a QApplication on the
# offscreen platform (tests/support/QtTestMain.cpp).
# LABELS go on every case; "threads" marks the tests of code that runs
# threads, which the tsan preset builds and runs under ThreadSanitizer.
function(mireva_test name)
  if(NOT MIREVA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "QT;EACH_CASE" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} mireva_test_support GTest::gtest GTest::gmock)
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE mireva_test_qtmain Qt6::Widgets)
    mireva_use_pch(${name} mireva_pch_qt_tests)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
    mireva_use_pch(${name} mireva_pch_tests)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    MIREVA_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    MIREVA_BIN_DIR="${MIREVA_OUTPUT_DIR}")
  # Tests see the Japanese interface whatever the machine's locale, unless a
  # test asks for English itself; programs they start inherit it.
  set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ENVIRONMENT_MODIFICATION "MIREVA_LANG=set:ja" TIMEOUT 300)
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if("threads" IN_LIST ARG_LABELS)
    set_property(GLOBAL APPEND PROPERTY MIREVA_THREADED_TESTS ${name})
  endif()
  if(ARG_EACH_CASE)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES PROPERTIES ${properties})
  else()
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES ${properties})
  endif()
endfunction()

# mireva_bench(NAME SOURCES... [LIBS lib...])
function(mireva_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# mireva_fuzz(NAME SOURCES... [LIBS lib...])
function(mireva_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()

# mireva_plugin(NAME SOURCES... [LIBS lib...] [OUTPUT_DIR dir])
# A plug-in: a shared object named NAME.spi with hidden visibility, placed
# beside the executables unless OUTPUT_DIR says otherwise (test plug-ins).
function(mireva_plugin name)
  cmake_parse_arguments(ARG "" "OUTPUT_DIR" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_UNPARSED_ARGUMENTS} ${ARG_SOURCES})
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR ${MIREVA_OUTPUT_DIR})
  endif()
  set_target_properties(${name} PROPERTIES
    PREFIX "" SUFFIX ".spi"
    C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIR})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/plugins)
  target_link_libraries(${name} PRIVATE spimem ${ARG_LIBS})
endfunction()
