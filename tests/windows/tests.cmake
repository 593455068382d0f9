# The Windows programs of QUIXO_WINDOWS_BUILD under Wine, against this build's Linux tool
# (label windows). One Wine prefix serves every check of a run; it is made first.
set(check ${CMAKE_CURRENT_LIST_DIR}/windows_check.sh)
set(work ${CMAKE_BINARY_DIR}/windows-checks)
file(MAKE_DIRECTORY ${work})
set(linux_tool $<TARGET_FILE:quixo-tool>)

add_test(NAME Windows.WinePrefix COMMAND ${check} prefix ${QUIXO_WINDOWS_BUILD} ${linux_tool}
         ${work})
set_tests_properties(Windows.WinePrefix PROPERTIES LABELS windows FIXTURES_SETUP wine_prefix)

# The arguments after the check's name go to the check (see windows_check.sh).
function(quixo_windows_case name what)
  add_test(NAME Windows.${name}
           COMMAND ${check} ${what} ${QUIXO_WINDOWS_BUILD} ${linux_tool} ${work} ${ARGN})
  set_tests_properties(Windows.${name} PROPERTIES LABELS windows TIMEOUT 300
                       FIXTURES_REQUIRED wine_prefix)
endfunction()

foreach(slot RANGE 0 31)
  quixo_windows_case(EvalBuiltinSlot${slot} same-output eval --builtin --slot ${slot})
endforeach()
quixo_windows_case(MeshBuiltin same-output mesh --builtin)
quixo_windows_case(TextBuiltin same-output text --builtin)
quixo_windows_case(Shaders shaders)
# One frame inside each scene, as the sanitizer build renders them.
foreach(frame 270 570 900 1297 1570 1920 2965 4535 5933 7472)
  quixo_windows_case(RenderFrame${frame} render ${frame})
endforeach()
quixo_windows_case(SystemDllsOnly dlls)
quixo_windows_case(LauncherEscape launcher)
quixo_windows_case(ShowPlaysUntilEscape show)
quixo_windows_case(MusicMissing music missing)
quixo_windows_case(MusicNotAModule music junk)
