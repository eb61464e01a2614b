# The Qt window: widget tests on the offscreen platform, and the program
# itself on a virtual X server.

add_executable(widget_tests widget_test.cpp access_test.cpp results_test.cpp language_test.cpp support/qt_test_main.cpp)
target_link_libraries(widget_tests PRIVATE calvetra_window calvetra_testsupport Qt6::Test GTest::gtest)
gtest_discover_tests(widget_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Exits 77 when Xvfb, xdotool, xwd or ImageMagick is missing: reported as
# skipped rather than passed.
add_test(NAME e2e_screenshot
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e_screenshot.sh $<TARGET_FILE:calvetra>)
set_tests_properties(e2e_screenshot PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
