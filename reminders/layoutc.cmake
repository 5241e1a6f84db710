# Runs the framework's layout compiler with this project's policies in force: run on its own with
# -P it has none, and its while() loop then never starts, which leaves every file('...') value
# unexpanded.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../framework/layout/tools/layoutc.cmake)
