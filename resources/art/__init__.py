"""Volscope's pictures: the drawing primitives (canvas), the drive pictures (drives), the program
icon (window) and the files they are written as (files)."""
