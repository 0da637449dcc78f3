var searchData=
[
  ['particles_0',['Particles',['../group__particles.html',1,'']]],
  ['platform_1',['Platform',['../group__platform.html',1,'']]]
];
