/* The libvips, GObject and GLib functions libpixcore calls. Where the library
   is built to load libvips on demand, each gets a forwarding entry of the same
   name (vips_imports.S) whose target is filled in when libvips is loaded; the
   link then fails for a function missing here. Plain C preprocessor only: the
   assembler reads this file too. */
#define PIXCORE_VIPS_FUNCTIONS(X) \
  X(g_free)                       \
  X(g_log)                        \
  X(g_log_set_handler)            \
  X(g_object_ref)                 \
  X(g_object_unref)               \
  X(vips_area_unref)              \
  X(vips_array_double_new)        \
  X(vips_bandjoin_const1)         \
  X(vips_black)                   \
  X(vips_block_untrusted_set)     \
  X(vips_cache_set_max)           \
  X(vips_cache_set_max_files)     \
  X(vips_cache_set_max_mem)       \
  X(vips_cast_uchar)              \
  X(vips_colourspace)             \
  X(vips_composite2)              \
  X(vips_copy)                    \
  X(vips_draw_image)              \
  X(vips_draw_rect)               \
  X(vips_embed)                   \
  X(vips_error)                   \
  X(vips_error_clear)             \
  X(vips_extract_area)            \
  X(vips_extract_band)            \
  X(vips_flatten)                 \
  X(vips_flip)                    \
  X(vips_foreign_find_load)       \
  X(vips_format_sizeof_unsafe)    \
  X(vips_gifload)                 \
  X(vips_heifload)                \
  X(vips_icc_transform)           \
  X(vips_image_copy_memory)       \
  X(vips_image_get_orientation)   \
  X(vips_image_get_typeof)        \
  X(vips_image_hasalpha)          \
  X(vips_image_init_fields)       \
  X(vips_image_new_from_image)    \
  X(vips_image_new_memory)        \
  X(vips_image_write_prepare)     \
  X(vips_init)                    \
  X(vips_jpegload)                \
  X(vips_jpegsave_buffer)         \
  X(vips_pngload)                 \
  X(vips_premultiply)             \
  X(vips_reduce)                  \
  X(vips_resize)                  \
  X(vips_rot)                     \
  X(vips_rotate)                  \
  X(vips_shutdown)                \
  X(vips_tiffload)                \
  X(vips_type_find)               \
  X(vips_unpremultiply)           \
  X(vips_version)                 \
  X(vips_version_string)          \
  X(vips_webpload)
