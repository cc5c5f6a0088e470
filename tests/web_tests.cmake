# The web page's C++ that runs natively: the curve and the contract's JSON.
# The page itself is tested in Chromium by the wasm build (browser_test.py).
add_executable(page_module_test web/page_module_test.cc)
target_link_libraries(page_module_test PRIVATE recharge_page GTest::gtest_main)
gtest_discover_tests(page_module_test)
