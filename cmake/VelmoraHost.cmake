# How a program becomes a host of the directory back-end plug-ins, which
# take the program's list, vCard and directory functions, libsodium and
# parts of the C++ runtime from it instead of carrying their own.

# velmora_host_plugin_needs(<target>): target (which exports its symbols)
# provides what the plug-in takes from its host besides the program's
# libraries: the libsodium functions it calls, from the static archive, and
# the parts of the C++ runtime it uses that a program carrying the runtime
# statically might not have linked in (std::_Hash_bytes, __dynamic_cast).
# The filedb_plugin_symbols test finds any the list misses.
function(velmora_host_plugin_needs target)
  foreach(symbol sodium_init sodium_memzero sodium_bin2base64 randombytes_buf
                 crypto_pwhash_str_alg crypto_pwhash_str_verify
                 _ZSt11_Hash_bytesPKvmm __dynamic_cast)
    target_link_options(${target} PRIVATE "LINKER:--undefined=${symbol}")
  endforeach()
  target_link_libraries(${target} PRIVATE ${KAVRILIB_SODIUM_LIBRARY})
endfunction()

# velmora_link_host(<target>): makes target a host of the plug-in. The
# archives are taken whole ahead of the target's own objects (link options
# come first on the command line), so the later ordinary mentions of the same
# libraries, from the target's own link list, add nothing twice. The
# WHOLE_ARCHIVE link feature is not used: dblib's link interface names
# utillib and versitlib again, which that feature refuses.
function(velmora_link_host target)
  set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
  target_link_options(${target} PRIVATE
    "LINKER:--whole-archive"
    $<TARGET_FILE:dblib> $<TARGET_FILE:versitlib> $<TARGET_FILE:utillib>
    "LINKER:--no-whole-archive")
  target_link_libraries(${target} PRIVATE dblib versitlib utillib commonlib
                        ${CMAKE_DL_LIBS})
  velmora_host_plugin_needs(${target})
endfunction()

# velmora_cgi_program(<target>): a CGI program that hosts the plug-in. Every
# request starts it anew, so it carries the C++ runtime statically and its
# relative relocations packed, where the tools allow.
function(velmora_cgi_program target)
  velmora_link_host(${target})
  if(VELMORA_STATIC_RUNTIME)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
  target_link_options(${target} PRIVATE ${VELMORA_PACKED_RELOCS})
endfunction()
