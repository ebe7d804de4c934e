# Checks KREISELSTURM_UPDATE_KEY when configuring: each comma-separated entry must be the base64
# line of a minisign .pub file (42 bytes: "Ed", key id, Ed25519 key; so 56 characters, "RW"
# first). A mistyped key would make every update fail on the players' machines.
function(kreiselsturm_check_update_key keys url)
  if(keys STREQUAL "")
    if(NOT url STREQUAL "")
      message(WARNING "KREISELSTURM_UPDATE_URL is set but KREISELSTURM_UPDATE_KEY is not: updates are "
        "installed without a signature. Set it to the public key's base64 line (README: Signed updates).")
    endif()
    return()
  endif()
  string(REPLACE "," ";" entries "${keys}")
  foreach(entry IN LISTS entries)
    string(STRIP "${entry}" key)
    string(LENGTH "${key}" length)
    if(NOT key MATCHES "^RW[QRST][A-Za-z0-9+/]+$" OR NOT length EQUAL 56)
      message(FATAL_ERROR "KREISELSTURM_UPDATE_KEY: '${key}' is not a minisign public key. Give the second "
        "line of the .pub file (56 base64 characters starting with RW), several separated by commas.")
    endif()
  endforeach()
endfunction()
