# Writes the user guide: the README's sections for those who use Tessaly, without the ones for
# those who build it.
#   cmake -DREADME=<README.md> -DOUT=<user-guide.md> -P UserGuide.cmake
cmake_minimum_required(VERSION 3.25)
set(user_sections
    "Install" "The editor" "Running against a real device" "Live meters"
    "Programs, presets and projects" "Command line")
file(READ ${README} text)
# Whole strings only: a list would split the text at every semicolon.
string(APPEND text "\n## ")
set(guide "# Tessaly user guide\n")
string(FIND "${text}" "\n## " at)
while(at GREATER -1)
  math(EXPR from "${at} + 4")
  string(SUBSTRING "${text}" ${from} -1 text)
  string(FIND "${text}" "\n## " at)
  if(at EQUAL -1)
    break()
  endif()
  string(SUBSTRING "${text}" 0 ${at} section)
  string(FIND "${section}" "\n" end_of_title)
  string(SUBSTRING "${section}" 0 ${end_of_title} title)
  if(title IN_LIST user_sections)
    # Pictures stay with the README: the guide's window has no folder to find them in.
    string(REGEX REPLACE "\n!\\[[^\n]*" "" section "${section}")
    string(APPEND guide "\n## ${section}\n")
  endif()
endwhile()
file(WRITE ${OUT}.new "${guide}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
