// The art_main library holds only the bundled pictures; a static library
// needs one source file of its own.
namespace ArtMain {
int libraryAnchor()
{
    return 0;
}
} // namespace ArtMain
