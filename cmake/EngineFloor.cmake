# SPDX-License-Identifier: GPL-3.0-or-later
# Holds two lines the compiler alone would not.
# - No file of the engine's folders includes a Qt Gui or Qt Widgets header.
#   Linking the engine to Qt Core alone stops <QWidget>; this stops the
#   spellings that go through Qt's own include folder (<QtWidgets/QWidget>).
# - The join's file-system core (join/fs/) only touches files: it never
#   includes the form, a command, or the join's flow above it, so it can be
#   read, tested and reused without a window or a form.
# Run as: cmake -DROOT=<source folder> -DFOLDERS="toolkit;form;..." -P EngineFloor.cmake
function(refuse_includes folder pattern why)
  file(GLOB sources ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*${pattern}")
    if(includes)
      message(FATAL_ERROR "${source} includes ${includes}: ${why}")
    endif()
  endforeach()
endfunction()

foreach(folder ${FOLDERS})
  refuse_includes(${folder} "[<\"]Qt(Gui|Widgets|OpenGL|PrintSupport)[/>\"]" "the engine links Qt Core only")
endforeach()
refuse_includes(join/fs "[<\"](form|browser|selection|ordering|app|widgets)/" "the file-system core never sees the form")
refuse_includes(join/fs "[<\"]join/[A-Za-z_]+[.]h" "the file-system core never calls the join's flow")
