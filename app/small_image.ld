/* autorun.exe's sections: code and read-only data share one section, then
   the import table and the base relocations. Three sections keep the headers
   within one 512-byte file block and spare the padding of a fourth section,
   about a kilobyte in all. Anything else a future object brings (data, bss)
   is placed after these by the linker as a section of its own. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + __section_alignment__ :
  {
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
    *(.rdata)
    *(SORT(.rdata$*))
  }
  /DISCARD/ :
  {
    *(.drectve)
    *(.note.GNU-stack)
    *(.gnu.lto_*)
    *(.debug$S)
    *(.debug$T)
    *(.debug$F)
  }
  /* The loader finds the import directory and the address table through the
     descriptors' order: descriptors, their terminator, lookup tables, the
     address table, then hints and names. */
  .idata BLOCK(__section_alignment__) :
  {
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    KEEP (SORT(*)(.idata$4))
    __IAT_start__ = .;
    KEEP (SORT(*)(.idata$5))
    __IAT_end__ = .;
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
  }
  .reloc BLOCK(__section_alignment__) :
  {
    *(.reloc)
  }
}
