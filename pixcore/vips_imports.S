/* Forwarding entries for the functions in vips_imports.h: each jumps through
   a slot that LoadVips() fills with the real address. Until then a slot holds
   PixCoreVipsNotLoaded, which stops the program with a message instead of
   jumping nowhere. All of it is hidden: libpixcore exports its own API only. */
#include "pixcore/vips_imports.h"

#if defined(__x86_64__)

#define PIXCORE_FORWARD(name)                                   \
  .text;                                                        \
  .globl name;                                                  \
  .hidden name;                                                 \
  .type name, @function;                                        \
  .p2align 4;                                                   \
  name:                                                         \
  jmp *pixcore_vips_slot_##name(%rip);                          \
  .size name, .-name;                                           \
  .data;                                                        \
  .globl pixcore_vips_slot_##name;                              \
  .hidden pixcore_vips_slot_##name;                             \
  .type pixcore_vips_slot_##name, @object;                      \
  .p2align 3;                                                   \
  pixcore_vips_slot_##name:                                     \
  .quad PixCoreVipsNotLoaded;                                   \
  .size pixcore_vips_slot_##name, 8;

PIXCORE_VIPS_FUNCTIONS(PIXCORE_FORWARD)

#endif

.section .note.GNU-stack, "", @progbits
