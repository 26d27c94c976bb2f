# The modern form of standard_babyblue: the shared dark palette; the project's
# name above the title a shade darker, to be read as easily as the text.
set(ProjectTitle "#4a75a3")
