// The library's load: static class types and factory entries register themselves;
// nothing else happens here.
