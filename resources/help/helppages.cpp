// The help_pages library holds only the bundled pages; a static library
// needs one source file of its own.
namespace HelpPages {
int libraryAnchor()
{
    return 0;
}
} // namespace HelpPages
