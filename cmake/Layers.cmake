# The layers of the code, lowest first: the folders each holds and the layers it builds
# on. A layer's sources may include from its own folders and from those of every layer
# below it, nothing else (prismora_layer, cmake/Prismora.cmake). Programs, tools, tests
# and benchmarks are the layer "top", which sees everything.
prismora_layer(common     FOLDERS common)
prismora_layer(platform   FOLDERS platform           USES common)      # seams, Win32 wrappers, wingui
prismora_layer(engine     FOLDERS engine             USES common)      # scene model, .x files, OpenGL
prismora_layer(runtime    FOLDERS runtime            USES engine platform)
prismora_layer(project    FOLDERS builder/project    USES platform)
prismora_layer(photos     FOLDERS builder/photos     USES project)     # every picture reader
prismora_layer(thumbnails FOLDERS builder/thumbnails USES photos)      # the strip and its collection
prismora_layer(scenes     FOLDERS builder/scenes     USES project engine)
prismora_layer(output     FOLDERS builder/output     USES photos)
prismora_layer(window     FOLDERS builder/window     USES output thumbnails scenes)

# Programs whose own code is split into a library for its tests.
prismora_layer(pixolve      FOLDERS pixolve            USES output)
prismora_layer(scenegen     FOLDERS tools/scenegen     USES engine)
prismora_layer(render       FOLDERS tools/render       USES runtime)
prismora_layer(samplephotos FOLDERS tools/samplephotos USES photos)
prismora_layer(artgen       FOLDERS tools/artgen       USES common)
