// Preloaded by the sanitizer run of scripts/test, so that LeakSanitizer can take a whole stack at every allocation
// (fast_unwind_on_malloc=0) and name the frames of ours in it: the fast unwinder follows frame pointers, which SDL and
// the GL driver are built without, and stops in them. The slow unwinder, libgcc's, deadlocks when Mesa's llvmpipe
// registers the unwind tables of the code it compiles: the next lookup sorts them with malloc while it holds its lock,
// and that malloc unwinds again. Left unregistered, nothing is lost: no exception is thrown through compiled drawing
// code, and an unwinder that reaches it stops there.
extern "C" {
void __register_frame(void*)
{
}
void __deregister_frame(void*)
{
}
}
