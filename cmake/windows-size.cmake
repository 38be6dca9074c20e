# The Windows program is meant to weigh nothing: compiled for size, without
# exception tables, and linked statically so that it needs no DLL beyond
# those every Windows has. (No -fdata-sections: with it, MinGW puts the
# zero-filled globals into .data, where they take room in the file.)

function(morvelin_small_code target)
  if(WIN32)
    target_compile_options(${target} PRIVATE
      -Os -ffunction-sections
      -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables)
  endif()
endfunction()

function(morvelin_small_program target)
  target_link_options(${target} PRIVATE -static -s -Wl,--gc-sections)
endfunction()
