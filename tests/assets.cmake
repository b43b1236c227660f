# The default pictures and sounds: written the same on every run, and accepted by assetcheck,
# which in turn must refuse a folder with missing or broken files.
if(TARGET assetgen AND TARGET assetcheck)
  set(_ag_tmp ${CMAKE_BINARY_DIR}/test-assets)
  add_test(NAME assets_deterministic
    COMMAND sh -c "rm -rf '${_ag_tmp}/a' '${_ag_tmp}/b' && '$<TARGET_FILE:assetgen>' '${_ag_tmp}/a' && '$<TARGET_FILE:assetgen>' '${_ag_tmp}/b' && diff -r '${_ag_tmp}/a' '${_ag_tmp}/b'")
  set_tests_properties(assets_deterministic PROPERTIES LABELS "assets")

  add_test(NAME assets_check_default COMMAND assetcheck --strict ${CMAKE_BINARY_DIR}/data)
  set_tests_properties(assets_check_default PROPERTIES LABELS "assets"
    ENVIRONMENT "SDL_AUDIODRIVER=dummy;SDL_VIDEODRIVER=offscreen")

  # A player's folder: one picture missing, one in other letter case (still found), one of the
  # wrong size, one sound that is not a WAV file, one near-magenta sprite.
  add_test(NAME assets_check_broken
    COMMAND sh -c "d='${_ag_tmp}/broken' && rm -rf \"$d\" && '$<TARGET_FILE:assetgen>' \"$d\" && \
rm \"$d/image/cursor.bmp\" && mv \"$d/image/prochee/Sloty.bmp\" \"$d/image/prochee/SLOTY.BMP\" && \
cp \"$d/image/start.bmp\" \"$d/image/main/laser_blue.bmp\" && echo noise > \"$d/sound/exit.wav\" && \
cp '${CMAKE_SOURCE_DIR}/fuzz/seeds/bmp/bitfields_555_after_header.bmp' \"$d/image/main/01.bmp\" && \
cp '${CMAKE_SOURCE_DIR}/fuzz/seeds/bmp/bitfields_masks_missing_565.bmp' \"$d/image/main/02.bmp\" && \
printf '\\376\\000\\376' | dd of=\"$d/image/vragi/small1.bmp\" bs=1 seek=54 conv=notrunc 2>/dev/null && \
out=$('$<TARGET_FILE:assetcheck>' \"$d\"); rc=$?; echo \"$out\"; [ $rc -eq 1 ] && \
echo \"$out\" | grep -q 'image/cursor.bmp.*missing.*no: missing' && \
echo \"$out\" | grep -q 'Sloty.bmp.*as image/prochee/SLOTY.BMP.* yes$' && \
echo \"$out\" | grep -q 'laser_blue.bmp.*120x100, want 8x37.*no: wrong size' && \
echo \"$out\" | grep -q 'exit.wav.*no: the loader refuses it' && \
echo \"$out\" | grep -q 'main/01.bmp.*BMP 16-bit masks 5.5.5 *4x2, want 300x60.*no: wrong size' && \
echo \"$out\" | grep -q 'main/02.bmp.*BMP 16-bit 5.6.5, masks missing *3x2, want 1352x57.*no: wrong size' && \
echo \"$out\" | grep -q 'small1.bmp.*1 near-magenta pixels become the key' && \
echo \"$out\" | grep -q '^5 of 29 files'")
  set_tests_properties(assets_check_broken PROPERTIES LABELS "assets"
    ENVIRONMENT "SDL_AUDIODRIVER=dummy;SDL_VIDEODRIVER=offscreen")
endif()
