# The soak's photo library writer (bench/soak.sh builds and runs it).
add_executable(soak-library soak_library.cpp ${PROJECT_SOURCE_DIR}/tests/imaging/fixture_writers.cpp)
target_link_libraries(soak-library PRIVATE JPEG::JPEG Qt6::Gui)
target_include_directories(soak-library PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/imaging)
set_target_properties(soak-library PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
