# The Windows player: everything that needs the window system, on top of the
# portable core libraries, and the executables made from it.
enable_language(RC)

# Every program in one folder, so the tests find the quizzes beside them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# Pictures decoded as the player decodes them, for the player and the editor.
add_library(zorbel_pictures_win32 STATIC pictures/picture_loader_win32.cpp pictures/png_picture_win32.cpp
            pictures/picture_workers_win32.cpp)
target_compile_definitions(zorbel_pictures_win32 PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(zorbel_pictures_win32 PUBLIC zorbel_pictures_core ole32 oleaut32 uuid gdi32 user32
                      PRIVATE zorbel_warnings)

# What the player and the editor share on Windows.
add_library(zorbel_common_win32 STATIC common/french_buttons_win32.cpp)
target_include_directories(zorbel_common_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(zorbel_common_win32 PUBLIC user32 PRIVATE zorbel_warnings)

add_library(zorbel_player STATIC
  common/app_state_win32.cpp
  common/child_controls_win32.cpp
  content/quiz_record_win32.cpp
  content/quiz_loader_win32.cpp
  panels/answer_field_win32.cpp
  panels/single_question_panel_win32.cpp
  panels/overview_panel_win32.cpp
  panels/verdict_label_win32.cpp
  shell/header_panel_win32.cpp
  shell/main_window_win32.cpp
  panels/session_painter_win32.cpp
  shell/progress_win32.cpp)
target_compile_definitions(zorbel_player PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(zorbel_player
  PUBLIC zorbel_session zorbel_grading zorbel_shell_core zorbel_pictures_win32 zorbel_panels_core zorbel_common_win32
         ole32 oleaut32 uuid shell32 gdi32 user32
  PRIVATE zorbel_warnings)

# Every player carries its whole code: none of it throws or catches, so it is
# built without exceptions or unwind tables, and with GCC the runtime's
# throwing paths are replaced (shell/runtime_without_exceptions.cpp says why).
set(player_libraries zorbel_player zorbel_session zorbel_grading zorbel_shell_core zorbel_content zorbel_common
    zorbel_pictures_win32 zorbel_pictures_core zorbel_panels_core zorbel_common_win32)
set(player_runtime "")
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  foreach(library ${player_libraries})
    target_compile_options(${library} PRIVATE -fno-exceptions -fno-asynchronous-unwind-tables)
  endforeach()
  set(player_runtime ${PROJECT_SOURCE_DIR}/shell/runtime_without_exceptions.cpp)
endif()

# A player executable: start-up (kept out of the library, where the runtime's
# startup code would not find it), the program's resources and the extra
# resource scripts given (a quiz's definition, codes and pictures).
function(add_player_executable name)
  add_executable(${name} WIN32 ${PROJECT_SOURCE_DIR}/shell/main_win32.cpp ${player_runtime}
                 ${PROJECT_SOURCE_DIR}/resources/zorbel_win32.rc ${ARGN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/resources)
  target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-exceptions -fno-asynchronous-unwind-tables>)
  target_link_libraries(${name} PRIVATE zorbel_player zorbel_version zorbel_warnings)
  zorbel_shipped_program(${name})
endfunction()

# The player without a quiz: it shows the built-in quiz.
add_player_executable(zorbel)

# Quiz executables are packed from readable sources by a native quizmake.
set(ZORBEL_QUIZMAKE "" CACHE FILEPATH "A quizmake built for this machine, to pack quiz sources")

# add_quiz_executable(NAME SOURCE [FILES...]): the player carrying the quiz of
# SOURCE (a TOML quiz source); FILES are what the source refers to (pictures), to rebuild on change.
function(add_quiz_executable name source)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/quizzes/${name})
  add_custom_command(
    OUTPUT ${folder}/quiz.rc
    COMMAND ${ZORBEL_QUIZMAKE} pack ${source} ${folder}
    DEPENDS ${source} ${ARGN}
    COMMENT "Packing ${name}")
  add_player_executable(${name} ${folder}/quiz.rc)
endfunction()

if(ZORBEL_QUIZMAKE)
  file(GLOB demo_pictures ${PROJECT_SOURCE_DIR}/samples/demo/pictures/*.jpg)
  add_quiz_executable(demo ${PROJECT_SOURCE_DIR}/samples/demo/demo.toml ${demo_pictures})
endif()
